// A snapshot keeps a file's bytes as they were when it was taken, whatever happens to the file while it
// lives; the mapping it uses where it can never lets a read fault.

#include "files/file_snapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "files/file_open_error.h"
#include "files/native_path.h"
#include "support/run_process.h"
#include "support/temp_folder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include "files/guarded_mapping_posix.h"
#endif

namespace tarnwell {
namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

// A few pages of distinct bytes, so that a page lost, moved or changed shows.
std::string Content() {
    std::string text;
    for (int line = 0; line < 2000; ++line) text += "line " + std::to_string(line) + "\tfield\tmore\r\n";
    return text;
}

void Overwrite(const fs::path& path, std::streamoff at, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(at);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Whether the system grants this process a read lease on its own file: where it does, an untouched file
// is shared from the system's cache, and the cases below go through the guard's copy.
bool LeasesGranted([[maybe_unused]] const fs::path& path) {
#ifdef _WIN32
    return false;
#else
    std::ifstream enabled("/proc/sys/fs/leases-enable");
    int on = 0;
    return enabled >> on && on == 1;
#endif
}

struct Change {
    const char* name;
    std::function<void(const fs::path&)> apply;
};

const std::vector<Change>& Changes() {
    static const std::vector<Change> changes = {
        {"truncated to nothing", [](const fs::path& p) { fs::resize_file(p, 0); }},
        {"truncated to half a page", [](const fs::path& p) { fs::resize_file(p, 2048); }},
        {"rewritten in place", [](const fs::path& p) { Overwrite(p, 0, std::string(40000, 'X')); }},
        {"appended to", [](const fs::path& p) { std::ofstream(p, std::ios::app | std::ios::binary) << "more\r\n"; }},
        {"rewritten whole",
         [](const fs::path& p) { std::ofstream(p, std::ios::trunc | std::ios::binary) << "short\r\n"; }},
        {"rotated away",
         [](const fs::path& p) {
             fs::rename(p, fs::path(p).concat(".1"));
             std::ofstream(p, std::ios::binary) << "new log\r\n";
         }},
        {"removed", [](const fs::path& p) { fs::remove(p); }},
    };
    return changes;
}

TEST(FileSnapshot, KeepsTheBytesWhateverHappensToTheFile) {
    const std::string content = Content();
    for (const Change& change : Changes()) {
        SCOPED_TRACE(change.name);
        TempFolder folder;
        const fs::path path = folder.Write("access.log", content);
        const auto snapshot = FileSnapshot::Take(FromNativePath(path));
        ASSERT_EQ(snapshot->Bytes(), content);
        if (LeasesGranted(path)) {
            EXPECT_TRUE(snapshot->SharesFilePages());
        }

        change.apply(path);

        EXPECT_EQ(snapshot->Bytes(), content);
        EXPECT_TRUE(snapshot->Intact());
    }
}

#ifndef _WIN32

// The same when another program does it, and when another program had the file open for writing when the
// snapshot was taken (a log being written): then there is no lease, and the bytes are read into memory.
TEST(FileSnapshot, KeepsTheBytesAgainstOtherPrograms) {
    const std::string content = Content();
    for (const bool writer_open : {false, true}) {
        SCOPED_TRACE(writer_open ? "a writer holds the file" : "no writer");
        TempFolder folder;
        const fs::path path = folder.Write("access.log", content);
        std::ofstream writer;
        if (writer_open) writer.open(path, std::ios::app | std::ios::binary);
        const auto snapshot = FileSnapshot::Take(FromNativePath(path));
        if (writer_open) {
            EXPECT_FALSE(snapshot->SharesFilePages());
        }

        // The shell opens the file for writing as most programs do, waiting for the lease to be given up
        // (a program that opens it without waiting, as truncate(1) does, is told to try again).
        const auto rewritten = testing_support::RunProcess(
            "/bin/sh",
            {"-c", "printf 'rewritten' | dd of=\"$1\" conv=notrunc status=none && : > \"$1\"", "sh", path.string()},
            folder.path(), {});
        ASSERT_EQ(rewritten.exit_status, 0) << rewritten.err;
        if (writer_open) writer << "appended while shown\r\n" << std::flush;

        EXPECT_EQ(fs::file_size(path), writer_open ? 22u : 0u);
        EXPECT_EQ(snapshot->Bytes(), content);
    }
}

// Without the lease, a file that shrinks takes its pages from under a mapping. The guard turns what is
// gone into zero bytes, where a plain mapping would end the process with SIGBUS at the first read.
TEST(GuardedMapping, ReadsZerosWhereAFileHasShrunkInsteadOfFaulting) {
    TempFolder folder;
    const std::string content = Content();
    const fs::path path = folder.Write("shrinking.log", content);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    auto mapping = GuardedMapping::Map(fd, content.size(), false);
    ASSERT_NE(mapping, nullptr);
    ASSERT_EQ(std::string(mapping->data(), mapping->size()), content);

    fs::resize_file(path, 100);
    const std::string after(mapping->data(), mapping->size());

    EXPECT_EQ(after.substr(0, 100), content.substr(0, 100));
    // The page that still holds the file's end reads the system's zeros after it; the later pages are
    // the guard's.
    EXPECT_EQ(after.substr(100), std::string(content.size() - 100, '\0'));
    EXPECT_FALSE(mapping->Intact());
}

// More mappings than the guard keeps: the rest are refused, and the snapshot reads the file instead.
TEST(GuardedMapping, BeyondItsSlotsSnapshotsAreReadIntoMemory) {
    TempFolder folder;
    const std::string content = Content();
    const fs::path path = folder.Write("many.log", content);
    std::vector<std::shared_ptr<const FileSnapshot>> snapshots;
    for (int i = 0; i < 70; ++i) snapshots.push_back(FileSnapshot::Take(FromNativePath(path)));
    fs::resize_file(path, 0);
    for (const auto& snapshot : snapshots) ASSERT_EQ(snapshot->Bytes(), content);
}

#endif  // _WIN32

TEST(FileSnapshot, EmptyFileAndWhatCannotBeRead) {
    TempFolder folder;
    EXPECT_EQ(FileSnapshot::Take(FromNativePath(folder.Write("empty.log", "")))->Bytes(), "");
    fs::create_directory(folder / "sub");
    for (const std::string& bad :
         {FromNativePath(folder / "missing.log"), FromNativePath(folder / "sub"), std::string()}) {
        SCOPED_TRACE(bad);
        try {
            FileSnapshot::Take(bad);
            ADD_FAILURE() << "no error";
        } catch (const EFileOpenError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + bad);
        }
    }
}

}  // namespace
}  // namespace tarnwell
