// The report job on a disk that is full: the scheduler learns of it, and the web server goes on serving
// the complete report of the last run.

#include "program_fixture.h"

#ifndef _WIN32
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/file_size_limit.h"
#endif

namespace tarnwell {
namespace {

using namespace program_testing;

#ifndef _WIN32

// A small file system of its own at `folder`, for as long as the object lives. Only the administrator
// may mount one, and not in every container.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const fs::path& folder) : folder_(folder) {
        mounted_ = ::geteuid() == 0 && ::mount("tarnwell-test", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    bool mounted() const { return mounted_; }

    // Takes every byte that is left.
    void Fill() const {
        std::FILE* filler = std::fopen((folder_ / "filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        const std::string block(4096, 'f');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }

private:
    fs::path folder_;
    bool mounted_ = false;
};

TEST_F(ProgramTest, CreateHtmlOntoAFullDiskKeepsThePreviousReportWhole) {
    // Twenty more users, so that the page takes several blocks of the small file system.
    std::string users;
    for (int i = 0; i < 20; ++i) {
        users += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\\user" + std::to_string(i) +
                 "]\r\n\"Type\"=\"User\"\r\n\"RealName\"=\"User " + std::to_string(i) + "\"\r\n";
        for (const char* name : {"ClientSendTraffic", "NonClientRecvTraffic", "ClientRecvTraffic",
                                 "NonClientSendTraffic", "TimeOnLine", "OpeningBalanceLo", "ClosingBalanceLo"}) {
            users += "\"" + std::string(name) + "\"=dword:00001000\r\n";
        }
        users += "\r\n";
    }
    WriteFile(Folder() / "registry.reg", ReadFile(Folder() / "registry.reg") + users);
    // Last run's report showed one column only, so the new page needs more room than the old one frees.
    std::vector<std::string> settings = kQuietSettings;
    // The report by its full name in the work folder, where the small file system goes.
    const std::string report = (WorkFolder() / "export.htm").string();
    settings.insert(settings.end(), {"[mail]", "HTMLPath=" + report});
    std::vector<std::string> one_column = settings;
    one_column.push_back("[TableHTML]");
    for (const char* key :
         {"Send", "Login", "FullName", "ClientSendTraffic", "NonClientRecvTraffic", "ClientRecvTraffic",
          "NonClientSendTraffic", "TimeOnLine", "OpeningBalance", "ClosingBalance"}) {
        one_column.push_back(std::string(key) + "=0");
    }
    WriteSettings(one_column);
    ProcessResult first = Run({"/createhtml"});
    ASSERT_EQ(first.exit_status, 0) << first.err;
    const std::string previous = ReadFile(WorkFolder() / "export.htm");
    // This run's table, all columns, measured in a report of another name.
    settings.back() = "HTMLPath=" + (WorkFolder() / "measure.htm").string();
    WriteSettings(settings);
    ASSERT_EQ(Run({"/createhtml"}).exit_status, 0);
    fs::remove(WorkFolder() / "measure.htm");
    const std::uintmax_t fragment = fs::file_size(Folder() / "grid.tmp");
    settings.back() = "HTMLPath=" + report;
    WriteSettings(settings);

    // The report folder on a file system full to the last byte where the test may mount one; elsewhere
    // the same failure of the write, injected: room for the fragment beside the program, not for the page.
    SmallFileSystem disk(WorkFolder());
    std::string reason;
    ProcessResult r;
    if (disk.mounted()) {
        WriteFile(WorkFolder() / "export.htm", previous);
        disk.Fill();
        reason = std::strerror(ENOSPC);
        r = Run({"/createhtml"});
    } else {
        reason = std::strerror(EFBIG);
        testing_support::FileSizeLimit limit(fragment + 16);
        r = Run({"/createhtml"});
    }

    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(r.err, "Tarnwell: Cannot write file " + report + ": " + reason + ".\n");
    EXPECT_EQ(ReadFile(WorkFolder() / "export.htm"), previous);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(WorkFolder())) {
        if (entry.path().filename() != "filler") left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"export.htm"});
}

#else

TEST_F(ProgramTest, CreateHtmlOntoAFullDiskKeepsThePreviousReportWhole) {
    GTEST_SKIP() << "no small file system to mount and no file size limit to inject a write failure here";
}

#endif

}  // namespace
}  // namespace tarnwell
