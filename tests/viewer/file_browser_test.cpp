#include "viewer/file_browser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/file_open_error.h"
#include "files/native_path.h"
#include "support/temp_folder.h"
#include "text/program_folder.h"
#include "viewer/drives.h"
#include "viewer/file_filters.h"
#include "viewer/file_list_error.h"

namespace tarnwell {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using testing_support::TempFolder;

// root: a.txt b.log C.LOG noext w.dat, sub/y.txt sub/z.log, and a folder that is no file.
class BrowserTree : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.txt", "b.log", "C.LOG", "noext", "w.dat", "sub/z.log"}) tree.Write(name, "x");
        tree.Write("sub/y.txt", "h1\th2\nv1\tv2\n");
        fs::create_directories(tree.path() / "folder.txt");
        root = Canonical(tree.path());
        sub = Canonical(tree.path() / "sub");
    }

    // The form the current folder takes: symbolic links resolved, as the system reports it.
    static std::string Canonical(const fs::path& path) { return FromNativePath(fs::canonical(path)); }
    static std::string Current() { return FromNativePath(fs::current_path()); }

    TempFolder tree;
    std::string root;
    std::string sub;
};

TEST_F(BrowserTree, FileListShowsTheFolderThroughEachFilter) {
    FileBrowser browser;
    browser.Files().SetDirectory(root);
    EXPECT_EQ(browser.Files().Directory(), root);
    EXPECT_EQ(Current(), root);

    const Names expected[] = {
        {"a.txt", "b.log", "C.LOG", "noext", "w.dat"},
        {"a.txt"},
        {"w.dat"},
        {"b.log", "C.LOG"},
    };
    static_assert(std::size(expected) == kFileFilters.size());
    for (std::size_t i = 0; i < kFileFilters.size(); ++i) {
        browser.SetFilterIndex(static_cast<int>(i));
        EXPECT_EQ(browser.Files().Mask(), kFileFilters[i].Mask);
        EXPECT_EQ(browser.Files().Items(), expected[i]) << kFileFilters[i].Caption;
    }
}

TEST_F(BrowserTree, SelectionKeepsThroughAMaskThatStillListsIt) {
    FileList list;
    list.SetDirectory(root);
    list.SetItemIndex(1);  // b.log
    list.SetMask("*.log");
    EXPECT_EQ(list.FileName(), JoinPath(root, "b.log"));
    list.SetMask("*.txt");
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(list.FileName(), "");
}

TEST_F(BrowserTree, ApplyFilePathTakesFolderFileAndMask) {
    FileList list;
    list.ApplyFilePath(FromNativePath(tree.path() / "sub" / "y.txt"));
    EXPECT_EQ(list.Directory(), sub);
    EXPECT_EQ(Current(), sub);
    EXPECT_EQ(list.Items(), (Names{"y.txt", "z.log"}));
    EXPECT_EQ(list.FileName(), JoinPath(sub, "y.txt"));

    list.ApplyFilePath(FromNativePath(tree.path() / "*.log"));
    EXPECT_EQ(list.Directory(), root);
    EXPECT_EQ(list.Mask(), "*.log");
    EXPECT_EQ(list.Items(), (Names{"b.log", "C.LOG"}));
    EXPECT_EQ(list.ItemIndex(), -1);

    // A file the mask would hide is still shown and selected.
    list.ApplyFilePath(FromNativePath(tree.path() / "a.txt"));
    EXPECT_EQ(list.Mask(), "*.*");
    EXPECT_EQ(list.FileName(), JoinPath(root, "a.txt"));

    // Relative to the current folder, which is now root.
    list.ApplyFilePath("sub");
    EXPECT_EQ(list.Directory(), sub);
    list.ApplyFilePath("z.log");
    EXPECT_EQ(list.FileName(), JoinPath(sub, "z.log"));
}

TEST_F(BrowserTree, ApplyFilePathFailsOnWhatIsGoneAndChangesNothing) {
    FileList list;
    list.ApplyFilePath(FromNativePath(tree.path() / "b.log"));
    struct Bad {
        fs::path path;
        std::string message;
    };
    const Bad bad[] = {
        {tree.path() / "gone.txt", "Cannot find file " + FromNativePath(tree.path() / "gone.txt")},
        {tree.path() / "gone" / "a.txt", "Cannot find folder " + FromNativePath(tree.path() / "gone")},
        {tree.path() / "gone" / "*.txt", "Cannot find folder " + FromNativePath(tree.path() / "gone")},
    };
    for (const Bad& b : bad) {
        try {
            list.ApplyFilePath(FromNativePath(b.path));
            ADD_FAILURE() << "no error for " << b.path;
        } catch (const EFileListError& e) {
            EXPECT_EQ(std::string(e.what()), b.message);
        }
        EXPECT_EQ(list.FileName(), JoinPath(root, "b.log"));
        EXPECT_EQ(list.Mask(), "*.*");
        EXPECT_EQ(Current(), root);
    }
}

TEST_F(BrowserTree, DoubleClickShowsTheSelectedFile) {
    FileBrowser browser;
    browser.SetFolder(sub);
    browser.CDirOChange();
    EXPECT_EQ(Current(), sub);
    browser.Files().SetItemIndex(0);  // y.txt

    std::string current_file;
    TTableGrid grid;
    NoLoadProgress progress;
    browser.FLB1Click(current_file, grid, progress);
    EXPECT_EQ(current_file, JoinPath(sub, "y.txt"));
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.GetCellEx(1, 1), "v2");

    // Nothing selected: the edit is emptied first, then the load fails on the empty name.
    browser.Files().SetItemIndex(-1);
    EXPECT_THROW(browser.FLB1Click(current_file, grid, progress), EFileOpenError);
    EXPECT_EQ(current_file, "");
    EXPECT_EQ(grid.GetCellEx(1, 1), "v2");
}

TEST_F(BrowserTree, StartUpRestoreMovesTreeAndDriveBox) {
    FileBrowser browser;
    browser.ShowFilePath(FromNativePath(tree.path() / "sub" / "z.log"));
    EXPECT_EQ(browser.Folder(), sub);
    EXPECT_EQ(browser.Files().FileName(), JoinPath(sub, "z.log"));
    ASSERT_GE(browser.DriveIndex(), 0);
    EXPECT_EQ(browser.DriveIndex(), DriveIndexOf(sub, browser.Drives()));
}

TEST_F(BrowserTree, ChoosingADriveOpensItsRoot) {
    FileBrowser browser;
    ASSERT_FALSE(browser.Drives().empty());
    browser.SetDriveIndex(0);
    browser.DriveCB1Change();
    const std::string drive = browser.Drives()[0];
    EXPECT_EQ(browser.Folder(), drive);
    EXPECT_EQ(Canonical(browser.Files().Directory()), Canonical(drive));
    EXPECT_EQ(Canonical(Current()), Canonical(drive));
}

// The window's road in: the user's choices run the bound events, and only when something changed;
// setting from code runs none, and a disabled browser takes nothing.
TEST_F(BrowserTree, UserActionsRunTheBoundEvents) {
    FileBrowser browser;
    std::vector<std::string> events;
    browser.OnDriveChange = [&] { events.push_back("drive"); };
    browser.OnFolderChange = [&] {
        events.push_back("folder " + browser.Folder());
        browser.CDirOChange();
    };
    browser.OnFileDoubleClick = [&] { events.push_back("open " + browser.Files().FileName()); };

    browser.SetFolder(sub);
    browser.CDirOChange();
    browser.SetFilterIndex(3);
    EXPECT_EQ(events, Names{});

    browser.UserSelectFolder(sub);  // already open
    browser.UserSelectFolder(root);
    browser.UserSelectFilter(1);  // *.txt: a.txt
    EXPECT_EQ(browser.Files().Mask(), "*.txt");
    browser.UserSelectFile(0);
    browser.UserDoubleClickFile(0);
    browser.UserSelectDrive(browser.DriveIndex());  // the same drive
    EXPECT_EQ(events, (Names{"folder " + root, "open " + JoinPath(root, "a.txt")}));

    events.clear();
    browser.Enabled = false;
    browser.UserSelectFolder(sub);
    browser.UserSelectFilter(0);
    browser.UserDoubleClickFile(0);
    browser.UserSelectDrive(-1);
    EXPECT_EQ(events, Names{});
    EXPECT_EQ(browser.Folder(), root);
    EXPECT_EQ(browser.Files().Mask(), "*.txt");
}

TEST(Drives, ListedDrivesAreFoldersAndHoldTheCurrentOne) {
    std::vector<std::string> drives = ListDrives();
    ASSERT_FALSE(drives.empty());
#ifndef _WIN32
    EXPECT_EQ(drives[0], "/");
#endif
    for (const std::string& drive : drives) EXPECT_TRUE(fs::is_directory(NativePath(drive))) << drive;
    EXPECT_GE(DriveIndexOf(FromNativePath(fs::current_path()), drives), 0);
}

TEST(Drives, MountTableGivesRootFirstWithoutPseudoFileSystems) {
    const char* table =
        "overlay / overlay rw,relatime,lowerdir=/a:/b 0 0\n"
        "proc /proc proc rw,nosuid 0 0\n"
        "tmpfs /dev tmpfs rw,nosuid 0 0\n"
        "sysfs /sys sysfs ro 0 0\n"
        "cgroup /sys/fs/cgroup cgroup2 ro 0 0\n"
        "/dev/sda2 /home ext4 rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "tmpfs /run/user/1000 tmpfs rw 0 0\n"
        "/dev/sdb1 /run/media/u/My\\040Disk vfat rw 0 0\n"
        "/dev/sda3 /data ext4 rw 0 0\n"
        "/dev/sda3 /data ext4 rw 0 0\n"
        "binfmt_misc /proc/sys/fs/binfmt_misc binfmt_misc rw 0 0\n"
        "systemd-1 /mnt/auto autofs rw 0 0\n"
        "garbage line\n"
        "\n";
    EXPECT_EQ(ParseMountPoints(table), (Names{"/", "/data", "/home", "/run/media/u/My Disk", "/tmp"}));
    EXPECT_EQ(ParseMountPoints(""), (Names{"/"}));
}

TEST(Drives, DriveOfAFolderIsItsLongestHoldingDrive) {
    const std::vector<std::string> drives = {"/", "/home", "/home/u/usb", "C:\\"};
    EXPECT_EQ(DriveIndexOf("/home/u/x", drives), 1);
    EXPECT_EQ(DriveIndexOf("/home", drives), 1);
    EXPECT_EQ(DriveIndexOf("/homework", drives), 0);
    EXPECT_EQ(DriveIndexOf("/home/u/usb/logs", drives), 2);
#ifdef _WIN32
    EXPECT_EQ(DriveIndexOf("c:\\logs", drives), 3);
#else
    EXPECT_EQ(DriveIndexOf("c:\\logs", drives), -1);
#endif
}

}  // namespace
}  // namespace tarnwell
