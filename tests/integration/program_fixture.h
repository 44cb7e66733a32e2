#pragma once

// The whole-program tests' fixture: the built program in a folder of its own with its database.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "support/run_process.h"
#include "support/temp_folder.h"
#include "text/cp1251.h"
#include "wingate/user_database.h"

namespace tarnwell::program_testing {

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
inline std::string Lines(std::string text) {
    std::erase(text, '\r');
    return text;
}

// The headless messages with the line that says where the program looked.
inline std::string NotFoundSettings(const fs::path& settings) {
    return "Tarnwell: Не найден или не существует файл настроек!\nTarnwell: файл настроек ожидается здесь: " +
           settings.string() + "\n";
}
constexpr const char* kBadSwitch =
    "Tarnwell: Неправильно задан ключ\nTarnwell: допустимые ключи: /setlimit, /createhtml, /sendhtml, /sendmail\n";

// settings.ini in Windows-1251 with CR LF line ends, from UTF-8 lines.
inline std::string Ini(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += Utf8ToCp1251(line) + "\r\n";
    return text;
}

const std::vector<std::string> kQuietSettings = {"[set]",      "LastPath=",     "[AutoRun]", "HTML=0",
                                                 "Mail=0",     "MailTable=0",   "[opt]",     "AutoClose=0",
                                                 "AutoSave=0", "DefaultLim=300"};

// The quiet settings with the report going to export.htm in the folder the program runs in.
inline std::vector<std::string> ReportSettings() {
    std::vector<std::string> lines = kQuietSettings;
    lines.insert(lines.end(), {"[mail]", "HTMLPath=export.htm"});
    return lines;
}

// The program copied into a folder of its own, with the service stand-in and a copy of the user database;
// it runs from another folder, so that only its own folder can lead it to its files.
class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(Folder());
        fs::create_directories(WorkFolder());
        fs::copy_file(TARNWELL_PROGRAM, Folder() / fs::path(TARNWELL_PROGRAM).filename());
        fs::copy_file(kServiceSource, Folder() / kServiceProgram);
        fs::permissions(Folder() / kServiceProgram, fs::perms::owner_all);
        WriteDatabase(Folder() / "registry.reg");
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
    // The test database, its service program being the stand-in beside the program unless another is given.
    void WriteDatabase(const fs::path& path, std::optional<std::string> service = std::nullopt) const {
        std::string reg = ReadFile(Data("users.reg"));
        std::string image_path;
        for (char c : service.value_or((Folder() / kServiceProgram).string())) {
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
        // No display: the headless program, which would otherwise open its window.
        EnvironmentChanges env = {{"DISPLAY", std::nullopt},
                                  {"WAYLAND_DISPLAY", std::nullopt},
                                  {"QT_QPA_PLATFORM", std::nullopt},
                                  {"TARNWELL_REGISTRY", std::nullopt},
                                  {"TARNWELL_HOME", std::nullopt}};
#ifdef _WIN32
        // Windows would otherwise use its own registry.
        env["TARNWELL_REGISTRY"] = (Folder() / "registry.reg").string();
        // The program's standard error is compared whole: none of Wine's own messages in it.
        env["WINEDEBUG"] = "-all";
#endif
        for (const auto& [name, value] : extra) env[name] = value;
        fs::path program = Folder() / fs::path(TARNWELL_PROGRAM).filename();
        std::vector<std::string> all(arguments);
        if (!runner_.empty()) {
            // The runner (such as setpriv) starts the program with the arguments.
            all.insert(all.begin(), program.string());
            all.insert(all.begin(), runner_.begin() + 1, runner_.end());
            program = runner_.front();
        }
        ProcessResult r = RunProcess(program, all, WorkFolder(), env);
        r.err = Lines(r.err);
        return r;
    }

    static std::int32_t Number(const fs::path& reg, const std::string& login, const std::string& name) {
        auto db = UserDatabaseLocation::RegFile(reg.string()).Open();
        EXPECT_TRUE(db->OpenExistingAccount(login)) << login;
        return db->ReadNumber(name);
    }

    // One run of the service stand-in: its argument and when it ran.
    struct ServiceRun {
        std::string argument;
        std::int64_t ms = 0;  // milliseconds since 1970
    };
    static std::int64_t NowMs() {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
    // The service program is started, not waited for: give its runs a moment to leave their lines.
    std::vector<ServiceRun> ServiceRuns(std::size_t expected_lines, const fs::path& service_log = {}) const {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string log;
        while (std::chrono::steady_clock::now() < deadline) {
            log = Lines(ReadFile(service_log.empty() ? ServiceLog() : service_log));
            if (static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n')) >= expected_lines) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        std::vector<ServiceRun> runs;
        std::istringstream lines(log);
        for (ServiceRun run; lines >> run.argument >> run.ms;) runs.push_back(run);
        return runs;
    }

    testing_support::TempFolder temp_;
    const fs::path root_ = temp_.path();
    std::vector<std::string> runner_;  // a program that runs the program, with its own arguments; none: none
};

}  // namespace tarnwell::program_testing
