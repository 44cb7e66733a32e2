#include "text/program_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwell {
namespace {

TEST(ProgramFolder, IsTheFolderOfThisTestExecutable) {
    std::filesystem::path folder(ProgramFolder());
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    EXPECT_TRUE(std::filesystem::exists(folder / "test_text") || std::filesystem::exists(folder / "test_text.exe"))
        << folder;
}

TEST(JoinPath, AddsOneSeparator) {
    std::string sep(1, kPathSeparator);
    EXPECT_EQ(JoinPath("dir", "settings.ini"), "dir" + sep + "settings.ini");
    EXPECT_EQ(JoinPath("dir" + sep, "settings.ini"), "dir" + sep + "settings.ini");
    EXPECT_EQ(JoinPath("", "a"), "a");
}

}  // namespace
}  // namespace tarnwell
