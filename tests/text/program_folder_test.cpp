#include "text/program_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tarnwell {
namespace {

void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value == nullptr ? "" : value);
#else
    if (value == nullptr) {
        unsetenv(name);
    } else {
        setenv(name, value, 1);
    }
#endif
}

class ProgramFolderTest : public testing::Test {
protected:
    void TearDown() override { SetVariable("TARNWELL_HOME", nullptr); }
};

// The test runs from its build folder, which it can write: that is the program's folder.
TEST_F(ProgramFolderTest, IsTheFolderOfThisTestExecutableWithoutTarnwellHome) {
    SetVariable("TARNWELL_HOME", nullptr);
    std::filesystem::path folder(ProgramFolder());
    EXPECT_EQ(ProgramFolder(), ExecutableFolder());
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << folder;
    EXPECT_TRUE(std::filesystem::exists(folder / "test_text") || std::filesystem::exists(folder / "test_text.exe"))
        << folder;
}

TEST_F(ProgramFolderTest, TarnwellHomeStandsForIt) {
    std::string sep(1, kPathSeparator);
    SetVariable("TARNWELL_HOME", "demo");
    EXPECT_EQ(std::filesystem::path(ProgramFolder()), std::filesystem::current_path() / "demo");
    SetVariable("TARNWELL_HOME", ("demo" + sep + "sub" + sep + sep).c_str());
    EXPECT_EQ(std::filesystem::path(ProgramFolder()), std::filesystem::current_path() / "demo" / "sub");
    // Set but empty counts as unset.
    SetVariable("TARNWELL_HOME", "");
    EXPECT_EQ(ProgramFolder(), ExecutableFolder());
}

TEST(UserConfigFolder, FollowsTheBaseDirectoryRules) {
    struct Case {
        const char *xdg_config_home, *home, *folder;
    };
    const Case cases[] = {
        {"/home/ann/cfg", "/home/ann", "/home/ann/cfg/tarnwell"},
        {"/home/ann/cfg/", "/home/ann", "/home/ann/cfg/tarnwell"},
        {"", "/home/ann", "/home/ann/.config/tarnwell"},
        {"cfg", "/home/ann", "/home/ann/.config/tarnwell"},  // relative: ignored
        {"", "", ""},
        {"", "ann", ""},
    };
    for (const Case& c : cases) {
        std::string folder = UserConfigFolder(c.xdg_config_home, c.home);
#ifdef _WIN32
        std::replace(folder.begin(), folder.end(), '\\', '/');
#endif
        EXPECT_EQ(folder, c.folder) << c.xdg_config_home << " | " << c.home;
    }
}

TEST(IsSystemProgramFolder, OnlyTheSystemsProgramFolders) {
    for (const char* folder : {"/usr/bin", "/usr/bin/", "/bin", "/sbin", "/usr/sbin", "/usr/local/bin"}) {
        EXPECT_TRUE(IsSystemProgramFolder(folder)) << folder;
    }
    for (const char* folder : {"/opt/tarnwell", "/usr/lib/tarnwell", "/home/ann/bin", "/", "/usr", "/usr/binx"}) {
        EXPECT_FALSE(IsSystemProgramFolder(folder)) << folder;
    }
}

TEST(JoinPath, AddsOneSeparator) {
    std::string sep(1, kPathSeparator);
    EXPECT_EQ(JoinPath("dir", "settings.ini"), "dir" + sep + "settings.ini");
    EXPECT_EQ(JoinPath("dir" + sep, "settings.ini"), "dir" + sep + "settings.ini");
    EXPECT_EQ(JoinPath("", "a"), "a");
}

TEST(PathInFolder, TakesOnlyRelativePathsFromTheFolder) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(PathInFolder("prog", "export.htm"), "prog" + sep + "export.htm");
    EXPECT_EQ(PathInFolder("prog", "web" + sep + "export.htm"), "prog" + sep + "web" + sep + "export.htm");
    EXPECT_EQ(PathInFolder("prog", sep + "srv" + sep + "export.htm"), sep + "srv" + sep + "export.htm");
    EXPECT_EQ(PathInFolder("prog", ""), "");
#ifdef _WIN32
    EXPECT_EQ(PathInFolder("C:\\prog", "D:\\www\\export.htm"), "D:\\www\\export.htm");
    EXPECT_EQ(PathInFolder("C:\\prog", "D:export.htm"), "D:export.htm");
    EXPECT_EQ(PathInFolder("C:\\prog", "/www/export.htm"), "/www/export.htm");
#endif
}

TEST(ParentFolder, DropsTheLastPart) {
    EXPECT_EQ(ParentFolder("/opt/tarnwell/tarnwell"), "/opt/tarnwell");
    EXPECT_EQ(ParentFolder("/tarnwell"), "/");
    EXPECT_EQ(ParentFolder("/"), "/");
    EXPECT_EQ(ParentFolder("tarnwell"), "");
#ifdef _WIN32
    EXPECT_EQ(ParentFolder("C:\\Program Files\\tarnwell.exe"), "C:\\Program Files");
#endif
}

}  // namespace
}  // namespace tarnwell
