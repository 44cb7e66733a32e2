#include "program_fixture.h"

namespace tarnwell {
namespace {

using namespace program_testing;

TEST_F(ProgramTest, QuietStartWithoutSwitchExitsZero) {
    WriteSettings(kQuietSettings);
    ProcessResult r = Run({});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.exit_status, 0);
}

TEST_F(ProgramTest, MissingSettingsFileIsReportedAndStopsEverything) {
    std::string reg_before = ReadFile(Folder() / "registry.reg");
    ProcessResult r = Run({"/setlimit"});
    EXPECT_EQ(r.err, kNotFoundSettings);
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_FALSE(fs::exists(Folder() / "settings.ini"));
    EXPECT_EQ(ReadFile(Folder() / "registry.reg"), reg_before);
    EXPECT_FALSE(fs::exists(ServiceLog()));
}

TEST_F(ProgramTest, ArgumentsThatAreNoSwitchAreRefused) {
    WriteSettings(kQuietSettings);
    std::string reg_before = ReadFile(Folder() / "registry.reg");
    // Only the first argument counts: a valid switch after a wrong one does not run.
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{{"/nonsense"},
                                                                               {"/SendMail"},
                                                                               {"sendmail"},
                                                                               {"/sendmail2"},
                                                                               {"/setlimit now"},
                                                                               {"/nonsense", "/setlimit"}}) {
        ProcessResult r = Run(args);
        EXPECT_EQ(r.err, kBadSwitch) << args[0];
        EXPECT_EQ(r.exit_status, 1) << args[0];
    }
    EXPECT_EQ(ReadFile(Folder() / "registry.reg"), reg_before);
    EXPECT_FALSE(fs::exists(ServiceLog()));
}

TEST_F(ProgramTest, SecondSwitchIsIgnored) {
    WriteSettings(kQuietSettings);
    // Without a mail section the server is "0", which has no address: the table mail says so once, and
    // the letters, which would say the same, never start.
    ProcessResult r = Run({"/sendhtml", "/sendmail"});
    EXPECT_EQ(r.err, "Tarnwell: Null Remote Address.\n");
    EXPECT_EQ(r.exit_status, 1);
}

TEST_F(ProgramTest, MissingDatabaseIsReported) {
    WriteSettings(kQuietSettings);
    fs::remove(Folder() / "registry.reg");
    ProcessResult r = Run({"/setlimit"});
    EXPECT_EQ(r.err, "Tarnwell: Возможно WinGate не установлен или версия программыне совместима!\n");
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_FALSE(fs::exists(Folder() / "registry.reg"));
    EXPECT_FALSE(fs::exists(ServiceLog()));
}

TEST_F(ProgramTest, SetLimitResetsTheBalancesAndRestartsTheService) {
    WriteSettings(kQuietSettings);
    // The database named by TARNWELL_REGISTRY wins over the one beside the program.
    fs::path reg = root_ / "elsewhere.reg";
    WriteDatabase(reg);
    std::string beside_before = ReadFile(Folder() / "registry.reg");

    const std::int64_t started = NowMs();
    ProcessResult r = Run({"/setlimit"}, {{"TARNWELL_REGISTRY", reg.string()}});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    // The service is stopped, given five seconds, and started. Each run is started and not waited for, so
    // the log's order says nothing: the time stamps do. The start cannot run earlier than five seconds
    // after the program was started; the stop may run a moment after it was started, hence the margin.
    std::vector<ServiceRun> runs = ServiceRuns(2);
    ASSERT_EQ(runs.size(), 2u);
    if (runs[0].argument == "-start") std::swap(runs[0], runs[1]);
    EXPECT_EQ(runs[0].argument, "-stop");
    EXPECT_EQ(runs[1].argument, "-start");
    EXPECT_GE(runs[1].ms - started, 5000);
    EXPECT_GE(runs[1].ms - runs[0].ms, 3000);

    for (std::string login : {"Administrator", "ivanov"}) {
        EXPECT_EQ(Number(reg, login, "OpeningBalanceLo"), Number(reg, login, "Limit")) << login;
        EXPECT_EQ(Number(reg, login, "ClosingBalanceLo"), Number(reg, login, "Limit")) << login;
    }
    EXPECT_EQ(Number(reg, "ivanov", "Limit"), 50000);
    // A user without a limit gets the default limit of the settings.
    EXPECT_EQ(Number(reg, "petrov", "Limit"), 300);
    EXPECT_EQ(Number(reg, "petrov", "ClosingBalanceLo"), 300);
    EXPECT_EQ(Number(reg, "petrov", "AccountEnabled"), 0);
    // Names are written back byte for byte.
    auto db = UserDatabaseLocation::RegFile(reg.string()).Open();
    db->OpenExistingAccount("petrov");
    EXPECT_EQ(Cp1251ToUtf8(db->ReadText("RealName")), "Петров Пётр");
    EXPECT_EQ(ReadFile(Folder() / "registry.reg"), beside_before);
}

TEST_F(ProgramTest, AnEmptyRegistryVariableMeansTheFileBesideTheProgram) {
    WriteSettings(kQuietSettings);
    // Set but empty: the database beside the program, on Windows too (not its registry).
    ProcessResult r = Run({}, {{"TARNWELL_REGISTRY", ""}});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    fs::remove(Folder() / "registry.reg");
    r = Run({}, {{"TARNWELL_REGISTRY", ""}});
    EXPECT_EQ(r.err, "Tarnwell: Возможно WinGate не установлен или версия программыне совместима!\n");
}

TEST_F(ProgramTest, AutoSaveWritesTheWholeFileInSectionOrder) {
    // An empty file: every key takes its missing-key value, so auto-save and every autorun item are on,
    // and the last viewed file is "0" in the current folder.
    WriteFile(Folder() / "settings.ini", "");
    WriteFile(WorkFolder() / "0", "a\tb\r\n1\t2\r\n");
    ProcessResult r = Run({});
    // The statistics refresh saved the file; autorun then wrote the report into "0" and stopped at the
    // letters, the server "0" having no address.
    EXPECT_EQ(r.err, "Tarnwell: Null Remote Address.\n");
    EXPECT_EQ(ReadFile(WorkFolder() / "0").rfind("<html>", 0), 0u);
    EXPECT_EQ(r.exit_status, 1);

    std::string ini = ReadFile(Folder() / "settings.ini");
    std::vector<std::string> sections;
    for (std::size_t at = ini.find('['); at != std::string::npos; at = ini.find('[', at + 1)) {
        sections.push_back(ini.substr(at, ini.find(']', at) - at + 1));
    }
    EXPECT_EQ(sections, (std::vector<std::string>{"[mail]", "[set]", "[AutoRun]", "[TableStat]", "[TableHTML]", "[opt]",
                                                  "[MCont]"}));
    for (std::string lines : {"Host=0\r\nPort=0\r\nHTMLPath=0\r\n", "[set]\r\nLastPath=0\r\n",
                              "[AutoRun]\r\nHTML=1\r\nMail=1\r\nMailTable=1\r\n",
                              "AutoClose=1\r\nAutoSave=1\r\nNormKB=1\r\nRazmernost=1\r\nTochnost=1\r\nDefaultLim=1\r\n",
                              "TimeOnLine=1\r\nOpeningBalance=1\r\nClosingBalance=1\r\nKorvex=1\r\n",
                              "Opening=1\r\nClosing=1\r\nLimit=1\r\n"}) {
        EXPECT_NE(ini.find(lines), std::string::npos) << lines << "\nin\n" << ini;
    }
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '='), 9 + 1 + 3 + 11 + 11 + 6 + 8);
}

TEST_F(ProgramTest, OptOnlySettingsLookForTheLastFileNamedZero) {
    WriteSettings({"[opt]", "AutoSave=1"});
    ProcessResult r = Run({"/setlimit"});
    // The viewer's error ends the start-up before anything is saved or run.
    EXPECT_EQ(r.err, "Tarnwell: Cannot find file 0.\n");
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_EQ(ReadFile(Folder() / "settings.ini"), Ini({"[opt]", "AutoSave=1"}));
    EXPECT_FALSE(fs::exists(ServiceLog()));
}

}  // namespace
}  // namespace tarnwell
