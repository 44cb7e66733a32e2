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
    // A folder in the file's place is no settings file either.
    for (bool folder : {false, true}) {
        if (folder) fs::create_directory(Folder() / "settings.ini");
        ProcessResult r = Run({"/setlimit"});
        EXPECT_EQ(r.err, NotFoundSettings(Folder() / "settings.ini")) << folder;
        EXPECT_EQ(r.exit_status, 1) << folder;
        EXPECT_EQ(fs::exists(Folder() / "settings.ini"), folder);
        EXPECT_EQ(ReadFile(Folder() / "registry.reg"), reg_before);
        EXPECT_FALSE(fs::exists(ServiceLog()));
    }
}

TEST_F(ProgramTest, ArgumentsThatAreNoSwitchAreRefused) {
    WriteSettings(kQuietSettings);
    std::string reg_before = ReadFile(Folder() / "registry.reg");
    // Only the first argument counts: a valid switch after a wrong one does not run.
    std::vector<std::vector<std::string>> cases = {{"/nonsense"},  {"/SendMail"},     {"sendmail"},
                                                   {"/sendmail2"}, {"/setlimit now"}, {"/nonsense", "/setlimit"}};
#ifndef _WIN32
    // The shell's arguments are compared as they stand: a quote inside one is no quoting, and an empty
    // one is the first argument. (A Windows command line is split by the program itself, where a quote
    // does quote and a lone "" is no argument.)
    cases.push_back({"/set\"limit"});
    cases.push_back({"/createhtml\""});
    cases.push_back({"", "/setlimit"});
#endif
    for (const std::vector<std::string>& args : cases) {
        ProcessResult r = Run(args);
        EXPECT_EQ(r.err, kBadSwitch) << args[0];
        EXPECT_EQ(r.exit_status, 1) << args[0];
    }
    EXPECT_EQ(ReadFile(Folder() / "registry.reg"), reg_before);
    EXPECT_FALSE(fs::exists(ServiceLog()));
    EXPECT_TRUE(fs::is_empty(WorkFolder())) << "no report was written";
}

// The mail jobs' end where the server "0" (the missing-key value) has no address.
const std::string kNoAddress =
    "Tarnwell: Null Remote Address.\nTarnwell: сервер почты 0, порт 0: адрес сервера не найден\n"
    "Tarnwell: Отправлено писем: 0 из 1\nTarnwell: Не отправлялось из-за ошибки: 1\n";

TEST_F(ProgramTest, SecondSwitchIsIgnored) {
    WriteSettings(kQuietSettings);
    // Without a mail section the server is "0", which has no address: the table mail says so once, and
    // the letters, which would say the same, never start.
    ProcessResult r = Run({"/sendhtml", "/sendmail"});
    EXPECT_EQ(r.err, kNoAddress);
    EXPECT_EQ(r.exit_status, 1);
}

TEST_F(ProgramTest, MissingDatabaseIsReportedWithTheFileAndKey) {
    WriteSettings(kQuietSettings);
    fs::remove(Folder() / "registry.reg");
    ProcessResult r = Run({"/setlimit"});
    EXPECT_EQ(r.err,
              "Tarnwell: Возможно WinGate не установлен или версия программыне совместима!\n"
              "Tarnwell: база пользователей ожидается в файле " +
                  (Folder() / "registry.reg").string() +
                  ": HKEY_LOCAL_MACHINE\\SOFTWARE\\Qbik Software\\WinGate\\UserDatabase\n");
    EXPECT_EQ(r.exit_status, 1);
    EXPECT_FALSE(fs::exists(Folder() / "registry.reg"));
    EXPECT_FALSE(fs::exists(ServiceLog()));
}

TEST_F(ProgramTest, MissingServiceKeyIsReportedWithTheFileAndKey) {
    WriteSettings(kQuietSettings);
    std::string reg = ReadFile(Folder() / "registry.reg");
    reg.erase(reg.find("[HKEY_LOCAL_MACHINE\\SYSTEM"));
    WriteFile(Folder() / "registry.reg", reg);
    ProcessResult r = Run({"/setlimit"});
    EXPECT_EQ(r.err,
              "Tarnwell: Не найдено имя службы для перезапуска\n"
              "Tarnwell: ключ службы ожидается в файле " +
                  (Folder() / "registry.reg").string() +
                  ": HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\WinGateEngine\n");
    EXPECT_EQ(r.exit_status, 1);
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
    EXPECT_EQ(r.err.rfind("Tarnwell: Возможно WinGate не установлен или версия программыне совместима!\n", 0), 0u);
    EXPECT_NE(r.err.find((Folder() / "registry.reg").string()), std::string::npos) << r.err;
}

// The limits are saved, but a service program that cannot be run is named and fails the run, instead of a
// restart that never happened passing for one.
TEST_F(ProgramTest, SetLimitNamesAServiceProgramThatCannotRun) {
    WriteSettings(kQuietSettings);
    std::vector<std::string> services = {
        (Folder() / "moved" / kServiceProgram).string(),
        (fs::path("moved") / kServiceProgram).string(),  // relative: not in the current folder
        Folder().string(),
    };
#ifndef _WIN32
    fs::copy_file(Folder() / kServiceProgram, Folder() / "not-executable.sh");
    fs::permissions(Folder() / "not-executable.sh", fs::perms::owner_read | fs::perms::owner_write);
    services.push_back((Folder() / "not-executable.sh").string());
#endif
    for (const std::string& service : services) {
        WriteDatabase(Folder() / "registry.reg", service);
        ProcessResult r = Run({"/setlimit"});
        EXPECT_EQ(r.err,
                  "Tarnwell: Программа службы WinGate \"" + service + "\" не найдена или не может быть запущена\n");
        EXPECT_EQ(r.exit_status, 1);
        EXPECT_EQ(Number(Folder() / "registry.reg", "petrov", "ClosingBalanceLo"), 300) << service;
    }
    EXPECT_FALSE(fs::exists(ServiceLog()));

#ifndef _WIN32
    // A relative path names the program in the current folder (Windows adds its own program search).
    fs::copy_file(Folder() / kServiceProgram, WorkFolder() / kServiceProgram);
    WriteDatabase(Folder() / "registry.reg", kServiceProgram);
    ProcessResult r = Run({"/setlimit"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    std::vector<ServiceRun> runs = ServiceRuns(2, WorkFolder() / "service.log");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].argument + " " + runs[1].argument, "-stop -start");
#endif
}

TEST_F(ProgramTest, AutoSaveWritesTheWholeFileInSectionOrder) {
    // An empty file: every key takes its missing-key value, so auto-save and every autorun item are on,
    // and the last viewed file is "0" in the current folder.
    WriteFile(Folder() / "settings.ini", "");
    WriteFile(WorkFolder() / "0", "a\tb\r\n1\t2\r\n");
    ProcessResult r = Run({});
    // The statistics refresh saved the file; autorun then wrote the report into "0" beside the program
    // (not over the viewed file "0") and stopped at the letters, the server "0" having no address.
    EXPECT_EQ(r.err, kNoAddress);
    EXPECT_EQ(ReadFile(Folder() / "0").rfind("<html>", 0), 0u);
    EXPECT_EQ(ReadFile(WorkFolder() / "0"), "a\tb\r\n1\t2\r\n");
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
    EXPECT_EQ(std::count(ini.begin(), ini.end(), '='), 12 + 1 + 3 + 11 + 11 + 6 + 8);
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
