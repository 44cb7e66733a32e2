// Where the program keeps its files: TARNWELL_HOME, the executable's folder, or (an installed program,
// whose folder the user cannot write) the user's configuration folder.

#include "program_fixture.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tarnwell {
namespace {

using namespace program_testing;

TEST_F(ProgramTest, TarnwellHomeStandsForTheProgramsFolder) {
    // Relative: taken from the folder the program starts in.
    const fs::path home = WorkFolder() / "home";
    fs::create_directories(home);
    EnvironmentChanges env = {{"TARNWELL_HOME", "home"}};
#ifdef _WIN32
    env["TARNWELL_REGISTRY"] = (home / "registry.reg").string();
#endif

    // Nothing there yet: the message names the settings file looked for.
    WriteSettings(ReportSettings());
    ProcessResult r = Run({"/createhtml"}, env);
    EXPECT_EQ(r.err, NotFoundSettings(home / "settings.ini"));
    EXPECT_EQ(r.exit_status, 1);

    WriteFile(home / "settings.ini", Ini(ReportSettings()));
    WriteDatabase(home / "registry.reg");
    fs::remove(Folder() / "registry.reg");
    r = Run({"/createhtml"}, env);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(fs::exists(home / "export.htm"));  // the report's relative name too
    EXPECT_TRUE(fs::exists(home / "grid.tmp"));
    EXPECT_FALSE(fs::exists(Folder() / "grid.tmp"));
}

#ifndef _WIN32
TEST_F(ProgramTest, UnwritableProgramFolderGivesTheUserConfigFolder) {
    const fs::path config_home = root_ / "config";  // not there yet
    const fs::path config = config_home / "tarnwell";
    fs::permissions(Folder(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                  fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    if (geteuid() == 0) {
        // An administrator may write everywhere: the program runs as an ordinary user instead, who needs
        // to write only the test's own folders.
        runner_ = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        fs::permissions(root_, fs::perms::all);
        fs::permissions(WorkFolder(), fs::perms::all);
    }
    const EnvironmentChanges env = {{"XDG_CONFIG_HOME", config_home.string()}};

    ProcessResult r = Run({"/createhtml"}, env);
    EXPECT_EQ(r.err, NotFoundSettings(config / "settings.ini"));
    EXPECT_EQ(r.exit_status, 1);
    ASSERT_TRUE(fs::is_directory(config));
    EXPECT_EQ(fs::status(config).permissions() & fs::perms::all, fs::perms::owner_all);

    WriteFile(config / "settings.ini", Ini(ReportSettings()));
    WriteDatabase(config / "registry.reg");
    r = Run({"/createhtml"}, env);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(fs::exists(config / "export.htm"));
    EXPECT_TRUE(fs::exists(config / "grid.tmp"));
    EXPECT_FALSE(fs::exists(Folder() / "grid.tmp"));

    fs::permissions(Folder(), fs::perms::owner_all, fs::perm_options::add);
}
#endif

}  // namespace
}  // namespace tarnwell
