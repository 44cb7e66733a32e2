#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "run_process.h"
#include "text/cp1251.h"
#include "wingate/user_database.h"

namespace tarnwell {
namespace {

namespace fs = std::filesystem;
using testing_support::EnvironmentChanges;
using testing_support::ProcessResult;
using testing_support::RunProcess;

#ifdef _WIN32
constexpr const char* kServiceProgram = "service.exe";
const fs::path kServiceSource = TARNWELL_SERVICE_STUB;
#else
constexpr const char* kServiceProgram = "service.sh";
const fs::path kServiceSource = fs::path(TARNWELL_TEST_DATA) / "app" / kServiceProgram;
#endif

// Standard error without the CR that Windows puts before every line end.
std::string Lines(std::string text) {
    std::erase(text, '\r');
    return text;
}

constexpr const char* kNotFoundSettings = "Tarnwell: Не найден или не существует файл настроек!\n";
constexpr const char* kBadSwitch = "Tarnwell: Неправильно задан ключ\n";

// settings.ini in Windows-1251 with CR LF line ends, from UTF-8 lines.
std::string Ini(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += Utf8ToCp1251(line) + "\r\n";
    return text;
}

const std::vector<std::string> kQuietSettings = {"[set]",      "LastPath=",     "[AutoRun]", "HTML=0",
                                                 "Mail=0",     "MailTable=0",   "[opt]",     "AutoClose=0",
                                                 "AutoSave=0", "DefaultLim=300"};

// The program copied into a folder of its own, with the service stand-in and a copy of the user database;
// it runs from another folder, so that only its own folder can lead it to its files.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tarnwell_it_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(Folder());
        fs::create_directories(WorkFolder());
        fs::copy_file(TARNWELL_PROGRAM, Folder() / fs::path(TARNWELL_PROGRAM).filename());
        fs::copy_file(kServiceSource, Folder() / kServiceProgram);
        fs::permissions(Folder() / kServiceProgram, fs::perms::owner_all);
        WriteDatabase(Folder() / "registry.reg");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    static fs::path Data(const std::string& name) { return fs::path(TARNWELL_TEST_DATA) / "app" / name; }
    fs::path Folder() const { return root_ / "program"; }
    fs::path WorkFolder() const { return root_ / "work"; }
    fs::path ServiceLog() const { return Folder() / "service.log"; }

    static std::string ReadFile(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void WriteFile(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    // The test database, its service program being the stand-in beside the program.
    void WriteDatabase(const fs::path& path) const {
        std::string reg = ReadFile(Data("users.reg"));
        std::string image_path;
        for (char c : (Folder() / kServiceProgram).string()) {
            if (c == '\\') image_path.push_back('\\');  // the export format's escape
            image_path.push_back(c);
        }
        reg.replace(reg.find("@SERVICE@"), 9, image_path);
        WriteFile(path, reg);
    }
    void WriteSettings(const std::vector<std::string>& lines) const {
        WriteFile(Folder() / "settings.ini", Ini(lines));
    }

    ProcessResult Run(const std::vector<std::string>& arguments, const EnvironmentChanges& extra = {}) const {
        EnvironmentChanges env = {
            {"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"TARNWELL_REGISTRY", std::nullopt}};
#ifdef _WIN32
        // Windows would otherwise use its own registry.
        env["TARNWELL_REGISTRY"] = (Folder() / "registry.reg").string();
#endif
        for (const auto& [name, value] : extra) env[name] = value;
        ProcessResult r = RunProcess(Folder() / fs::path(TARNWELL_PROGRAM).filename(), arguments, WorkFolder(), env);
        r.err = Lines(r.err);
        return r;
    }

    static std::int32_t Number(const fs::path& reg, const std::string& login, const std::string& name) {
        auto db = UserDatabaseLocation::RegFile(reg.string()).Open();
        EXPECT_TRUE(db->OpenExistingAccount(login)) << login;
        return db->ReadNumber(name);
    }

    // The service program is started, not waited for: give its runs a moment to leave their lines.
    std::string ServiceRuns(std::size_t expected_lines) const {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string log;
        while (std::chrono::steady_clock::now() < deadline) {
            log = Lines(ReadFile(ServiceLog()));
            if (static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')) >= expected_lines) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return log;
    }

    fs::path root_;
};

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
    // The table mail is not part of this build: its job says so, and the letters never start.
    ProcessResult r = Run({"/sendhtml", "/sendmail"});
    EXPECT_EQ(r.err, "Tarnwell: Рассылка таблицы в этой версии программы ещё не реализована.\n");
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

    ProcessResult r = Run({"/setlimit"}, {{"TARNWELL_REGISTRY", reg.string()}});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(ServiceRuns(2), "-stop\n-start\n");

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

TEST_F(ProgramTest, AutoSaveWritesTheWholeFileInSectionOrder) {
    // An empty file: every key takes its missing-key value, so auto-save and every autorun item are on,
    // and the last viewed file is "0" in the current folder.
    WriteFile(Folder() / "settings.ini", "");
    WriteFile(WorkFolder() / "0", "a\tb\r\n1\t2\r\n");
    ProcessResult r = Run({});
    // The statistics refresh saved the file; autorun then stopped at its first job.
    EXPECT_EQ(r.err, "Tarnwell: Отчёт HTML в этой версии программы ещё не реализован.\n");
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
