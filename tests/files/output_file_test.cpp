// Writing files: a replacement is all or nothing, leaves at most one temporary file per target (and only
// while it runs or after a crash), and never writes through whatever someone put at a name.

#include "files/output_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <chrono>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace tarnwell {
namespace {

namespace fs = std::filesystem;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;
using Step = EOutputFile::Step;

class OutputFile : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
    std::string TempOf(const std::string& name) const {
        return PathOf(name) + std::string(FileReplacement::kTemporarySuffix);
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(fs::path(path), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Write(const std::string& path, const std::string& text) {
        std::ofstream(fs::path(path), std::ios::binary) << text;
    }
    std::vector<std::string> Contents() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }
    // The step of the failure, and its reason.
    static std::pair<Step, std::string> FailureOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const EOutputFile& e) {
            return {e.step(), e.what()};
        }
        ADD_FAILURE() << "no error";
        return {};
    }

    testing_support::TempFolder folder_;
};

TEST_F(OutputFile, ReplacementIsAllOrNothingAndLeavesNoTemporaryFile) {
    const std::string path = PathOf("report.htm");
    ReplaceFile(path, "first");
    EXPECT_EQ(Read(path), "first");
    ReplaceFile(path, std::string(200000, 'x'));  // more than the write buffer
    EXPECT_EQ(Read(path), std::string(200000, 'x'));
    {
        FileReplacement unfinished(path);
        unfinished.Write("half of it");
        EXPECT_THAT(Contents(), UnorderedElementsAre("report.htm", "report.htm.tarnwell.tmp"));
    }
    EXPECT_EQ(Read(path), std::string(200000, 'x'));
    EXPECT_THAT(Contents(), UnorderedElementsAre("report.htm"));
}

// A process killed during a save leaves its temporary file; the next save of that target removes it, so
// crashes never pile them up, and files of other names are none of its business.
TEST_F(OutputFile, LeftoverOfACrashIsRemovedByTheNextSave) {
    const std::string path = PathOf("registry.reg");
    Write(path, "old");
    Write(TempOf("registry.reg"), std::string(5000, 'p'));
    Write(PathOf("registry.reg.tmp"), "someone else's");
    ReplaceFile(path, "new");
    EXPECT_EQ(Read(path), "new");
    EXPECT_EQ(Read(PathOf("registry.reg.tmp")), "someone else's");
    EXPECT_THAT(Contents(), UnorderedElementsAre("registry.reg", "registry.reg.tmp"));
}

// Two saves of one file at the same moment: the second neither takes the first one's temporary file away
// nor shares it, but waits until the first is in place and then replaces it.
TEST_F(OutputFile, SecondSaveWaitsForTheOneInProgress) {
    const std::string path = PathOf("settings.ini");
    Write(path, "old");
    FileReplacement first(path);
    first.Write("first");
    std::exception_ptr failure;
    std::thread second([&] {
        try {
            ReplaceFile(path, "second");
        } catch (...) {
            failure = std::current_exception();
        }
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Read(path), "old");
    EXPECT_NO_THROW(first.Commit());
    second.join();
    EXPECT_FALSE(failure);
    EXPECT_EQ(Read(path), "second");
    EXPECT_THAT(Contents(), UnorderedElementsAre("settings.ini"));
}

TEST_F(OutputFile, NewFileIsMadeOnlyWhereNothingStands) {
    const std::string path = PathOf("grid.tmp");
    Write(path, "old fragment");
    EXPECT_EQ(FailureOf([&] { WriteNewFile(path, "new"); }).first, Step::kCreate);
    EXPECT_EQ(Read(path), "old fragment");
    fs::permissions(path, fs::perms::owner_read);
    RemoveFile(path);
    WriteNewFile(path, "new");
    EXPECT_EQ(Read(path), "new");
}

#ifndef _WIN32

// Whatever stands at the temporary name is not written through: a link to another file, a pipe, a file
// that may not be written. The next save clears it away and makes its own.
TEST_F(OutputFile, NothingAtTheTemporaryNameIsWrittenThrough) {
    const std::string victim = PathOf("victim");
    struct Case {
        const char* name;
        void (*plant)(const std::string& temp, const std::string& victim);
    };
    const Case cases[] = {
        {"link to another file", [](const std::string& t, const std::string& v) { ::symlink(v.c_str(), t.c_str()); }},
        {"dangling link", [](const std::string& t, const std::string&) { ::symlink("/nonexistent/x", t.c_str()); }},
        {"pipe", [](const std::string& t, const std::string&) { ::mkfifo(t.c_str(), 0600); }},
        {"read-only file",
         [](const std::string& t, const std::string&) {
             Write(t, "left by another account");
             ::chmod(t.c_str(), 0444);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write(victim, "precious");
        const std::string path = PathOf("export.htm");
        c.plant(TempOf("export.htm"), victim);
        ReplaceFile(path, "report");
        EXPECT_EQ(Read(path), "report");
        EXPECT_EQ(Read(victim), "precious");
        EXPECT_THAT(Contents(), UnorderedElementsAre("export.htm", "victim"));
        fs::remove(path);
    }
}

TEST_F(OutputFile, LinkAtTheTargetStaysALinkAndPermissionsStay) {
    fs::create_directories(folder_ / "www");
    const std::string real = PathOf("www/index.htm");
    Write(real, "old");
    ::chmod(real.c_str(), 0640);
    const std::string link = PathOf("export.htm");
    fs::create_symlink(real, link);
    ReplaceFile(link, "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(real), "new");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_THAT(Contents(), UnorderedElementsAre("export.htm", "www"));
}

TEST_F(OutputFile, FailedWriteKeepsTheOldFileWholeAndRemovesTheTemporaryOne) {
    const std::string path = PathOf("export.htm");
    const std::string old(3000, 'o');
    Write(path, old);
    std::pair<Step, std::string> failure;
    {
        testing_support::FileSizeLimit limit(4096);
        failure = FailureOf([&] { ReplaceFile(path, std::string(100000, 'n')); });
    }
    EXPECT_EQ(failure.first, Step::kWrite);
    EXPECT_EQ(failure.second, "File too large");
    EXPECT_EQ(Read(path), old);
    EXPECT_THAT(Contents(), UnorderedElementsAre("export.htm"));
}

// As an ordinary user, who may replace any file of the folder by a rename: a read-only file is refused
// like the rest.
TEST_F(OutputFile, TargetsThatCannotBeReplacedAreRefusedBeforeAnythingIsWritten) {
    testing_support::RunUnprivileged(folder_, [&] {
        fs::create_directories(folder_ / "folder");
        ::mkfifo(PathOf("pipe").c_str(), 0600);
        Write(PathOf("read-only"), "kept");
        ::chmod(PathOf("read-only").c_str(), 0444);
        struct Case {
            std::string name;
            Step step;
            std::string reason;
        };
        const Case cases[] = {
            {"folder", Step::kReplace, "not a regular file"},
            {"pipe", Step::kReplace, "not a regular file"},
            {"missing/x.htm", Step::kCreate, "No such file or directory"},
            {"read-only", Step::kReplace, "Permission denied"},
        };
        const std::vector<std::string> before = Contents();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            auto [step, reason] = FailureOf([&] { ReplaceFile(PathOf(c.name), "x"); });
            EXPECT_EQ(step, c.step);
            EXPECT_EQ(reason, c.reason);
        }
        EXPECT_THAT(Contents(), UnorderedElementsAreArray(before));
        EXPECT_EQ(Read(PathOf("read-only")), "kept");
    });
}

TEST_F(OutputFile, NewFileNeverFollowsALink) {
    const std::string victim = PathOf("victim");
    Write(victim, "precious");
    const std::string path = PathOf("grid.tmp");
    fs::create_symlink(victim, path);
    EXPECT_EQ(FailureOf([&] { WriteNewFile(path, "fragment"); }).first, Step::kCreate);
    RemoveFile(path);
    WriteNewFile(path, "fragment");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(Read(path), "fragment");
    EXPECT_EQ(Read(victim), "precious");
}

#endif

}  // namespace
}  // namespace tarnwell
