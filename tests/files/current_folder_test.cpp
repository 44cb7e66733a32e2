// The current folder: set only where it can be entered, and read back as the full path the system gives.

#include "files/current_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "files/native_path.h"
#include "support/temp_folder.h"

namespace tarnwell {
namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;

TEST(CurrentFolder, FollowsWhatIsSetAndStaysWhenTheFolderCannotBeEntered) {
    TempFolder folder;  // puts the current folder back when it goes
    fs::create_directory(folder / "logs");
    const std::string file = folder.Write("file.log", "x").string();

    ASSERT_TRUE(SetCurrentFolder(folder.File("logs")));
    const std::string logs = CurrentFolder();
    EXPECT_TRUE(fs::equivalent(NativePath(logs), folder / "logs")) << logs;
    EXPECT_TRUE(NativePath(logs).is_absolute()) << logs;

    for (const std::string& refused : {std::string(), folder.File("missing"), file}) {
        EXPECT_FALSE(SetCurrentFolder(refused)) << refused;
        EXPECT_EQ(CurrentFolder(), logs) << refused;
    }
    // A relative name is taken from the current folder.
    ASSERT_TRUE(SetCurrentFolder(".."));
    EXPECT_TRUE(fs::equivalent(NativePath(CurrentFolder()), folder.path())) << CurrentFolder();
}

}  // namespace
}  // namespace tarnwell
