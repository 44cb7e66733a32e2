#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#include <cerrno>
#endif

#include "files/current_folder.h"
#include "store_backends.h"
#include "text/cp1251.h"
#include "text/cp1251_literal.h"
#include "wingate/service_restart.h"

namespace tarnwell::testing {
namespace {

using namespace literals;

// Everything the restart does, in order, in one log.
struct Recorder : UserNotifier, StatusText, Pause, ProgramRunner {
    std::vector<std::string> log;
    void ShowMessage(std::string_view text) override { log.push_back("message " + std::string(text)); }
    void SetStatusText(std::string_view text) override { log.push_back("status " + std::string(text)); }
    void Sleep(std::chrono::milliseconds duration) override {
        log.push_back("pause " + std::to_string(duration.count()));
    }
    bool CanRun(const std::string& program) override { return runnable.contains(program); }
    void Run(const std::string& program, const std::string& argument) override {
        log.push_back("run " + program + " " + argument);
    }
    ServiceRestartHost host() { return {*this, *this, *this, *this}; }

    std::set<std::string> runnable = {"/opt/wingate/WinGate", "svc"};  // the programs that are there
};

// A store that reports its batch end and its release into the same log.
class LoggingStore : public TUserDatabase {
public:
    enum class Service { Present, Missing, WrongType };
    LoggingStore(Recorder& recorder, Service service, std::string path)
        : recorder_(recorder), service_(service), path_(std::move(path)) {}
    ~LoggingStore() override { recorder_.log.push_back("released"); }

    std::vector<std::string> ListAccounts() override { return {}; }
    bool OpenAccount(std::string_view) override { return true; }
    bool OpenExistingAccount(std::string_view) override { return true; }
    void CloseAccount() override {}
    bool HasValue(std::string_view) override { return false; }
    std::string ReadText(std::string_view) override { return {}; }
    std::int32_t ReadNumber(std::string_view) override { return 0; }
    void WriteText(std::string_view, std::string_view) override {}
    void WriteNumber(std::string_view, std::int32_t) override {}
    std::string ReadServiceImagePath() override {
        if (service_ == Service::Missing) throw EServiceNotFound("no service key");
        if (service_ == Service::WrongType) throw EUserDatabaseError("Invalid data type for 'ImagePath'");
        return path_;
    }
    void Flush() override { recorder_.log.push_back("flush"); }

private:
    Recorder& recorder_;
    Service service_;
    std::string path_;
};

const std::string kStatus =
    std::string("status ") + std::string("Идет сохранение изменений и перезапуск службы WinGate..."_cp);

TEST(RestartProxyService, StopsPausesAndStartsTheServiceProgram) {
    Recorder r;
    auto store = std::make_unique<LoggingStore>(r, LoggingStore::Service::Present, "/opt/wingate/WinGate");
    EXPECT_TRUE(RestartProxyService(std::move(store), r.host()));
    EXPECT_EQ(r.log, (std::vector<std::string>{"flush", kStatus, "run /opt/wingate/WinGate -stop", "pause 5000",
                                               "run /opt/wingate/WinGate -start", "status ", "released"}));
}

// A restart that cannot start the program again must not stop the service, nor pass for a restart.
TEST(RestartProxyService, AProgramThatCannotBeRunIsNamedAndNothingRuns) {
    for (std::string path : {"", "/opt/wingate/moved/WinGate"}) {
        Recorder r;
        EXPECT_FALSE(
            RestartProxyService(std::make_unique<LoggingStore>(r, LoggingStore::Service::Present, path), r.host()));
        std::string message = "Программа службы WinGate \"" + path + "\" не найдена или не может быть запущена";
        EXPECT_EQ(r.log, (std::vector<std::string>{"flush", "message " + Utf8ToCp1251(message), "released"}));
    }
}

TEST(RestartProxyService, WithoutTheServiceKeyTellsSoAndRunsNothing) {
    Recorder r;
    EXPECT_FALSE(RestartProxyService(std::make_unique<LoggingStore>(r, LoggingStore::Service::Missing, ""), r.host()));
    EXPECT_EQ(r.log, (std::vector<std::string>{
                         "flush", "message " + std::string("Не найдено имя службы для перезапуска"_cp), "released"}));
}

TEST(RestartProxyService, AStoreErrorTravelsOnAfterReleasingTheStore) {
    Recorder r;
    auto store = std::make_unique<LoggingStore>(r, LoggingStore::Service::WrongType, "");
    EXPECT_THROW(RestartProxyService(std::move(store), r.host()), EUserDatabaseError);
    EXPECT_EQ(r.log, (std::vector<std::string>{"flush", "released"}));
}

// The values a save wrote are in the file before the service program runs.
TEST(RestartProxyService, TheServiceFindsTheWrittenValues) {
    TempFolder folder;
    auto backend = MakeRegFileBackend(true);
    backend->Seed({Dword("UserDatabase\\alice", "Limit", 1), Text("Services\\WinGateEngine", "ImagePath", "svc")});
    auto db = backend->Open();
    db->OpenAccount("alice");
    db->WriteNumber("Limit", 2);
    db->CloseAccount();

    struct Checker : Recorder {
        StoreBackend* backend = nullptr;
        void Run(const std::string& program, const std::string& argument) override {
            auto view = backend->Open();
            view->OpenAccount("alice");
            log.push_back(program + " " + argument + " sees " + std::to_string(view->ReadNumber("Limit")));
        }
    } checker;
    checker.backend = backend.get();
    EXPECT_TRUE(RestartProxyService(std::move(db), checker.host()));
    EXPECT_EQ(checker.log[1], "svc -stop sees 2");
    EXPECT_EQ(checker.log[3], "svc -start sees 2");
}

// The check before the restart resolves the path as the run does.
TEST(SystemProgramRunner, CanRunOnlyWhatItCouldStart) {
    TempFolder folder;
    std::string subfolder = folder.File("folder");
    std::filesystem::create_directory(subfolder);
#ifdef _WIN32
    std::string program = folder.File("service.exe");
    WriteBytes(program, "MZ");
    const std::vector<std::pair<std::string, bool>> cases = {
        {program, true},
        {"\"" + program + "\"", true},                  // ImagePath may hold it in quotes
        {program.substr(0, program.size() - 4), true},  // ".exe" is tried
        {folder.File("WinGate.exe"), false},
    };
#else
    std::string program = folder.File("wingate-service");
    std::filesystem::copy_file(std::string(TARNWELL_SOURCE_DIR) + "/examples/wingate-service", program);
    std::string unrunnable = folder.File("not-a-program");
    WriteBytes(unrunnable, "#!/bin/sh\n");
    std::filesystem::permissions(unrunnable, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::vector<std::pair<std::string, bool>> cases = {
        {program, true},
        {unrunnable, false},  // no right to execute it
        {folder.File("WinGate"), false},
        {"wingate-service", true},  // relative: from the current folder
        {"./wingate-service", true},
        {"folder/../wingate-service", true},
        {"WinGate", false},
    };
#endif
    // The folder puts the current folder back when it goes.
    ASSERT_TRUE(SetCurrentFolder(folder.path().string()));
    SystemProgramRunner runner;
    for (const auto& [path, runs] : cases) EXPECT_EQ(runner.CanRun(path), runs) << path;
    EXPECT_FALSE(runner.CanRun(subfolder));
    EXPECT_FALSE(runner.CanRun(""));
}

#ifndef _WIN32

// The demo's service program, run for real: both calls reach it, and no child is left to reap.
TEST(SystemProgramRunner, RunsTheProgramWithItsArgumentAndLeavesNoChild) {
    TempFolder folder;
    std::string script = folder.File("wingate-service");
    std::filesystem::copy_file(std::string(TARNWELL_SOURCE_DIR) + "/examples/wingate-service", script);
    std::string log = folder.File("wingate-service.log");

    SystemProgramRunner runner;
    runner.Run(script, "-stop");
    runner.Run(script, "-start");
    runner.Run(folder.File("no such program"), "-stop");

    std::vector<std::string> lines;
    for (int wait = 0; wait < 500 && lines.size() < 2; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(log);
        lines.clear();
        for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 2u);
    // The two programs run side by side, maybe in different seconds: each line is a time and an argument.
    std::vector<std::string> arguments;
    for (const std::string& line : lines) {
        EXPECT_EQ(line.find(' ', 11), std::string("2026-12-10 03:18:45").size()) << line;
        arguments.push_back(line.substr(line.rfind(' ') + 1));
    }
    std::sort(arguments.begin(), arguments.end());
    EXPECT_EQ(arguments, (std::vector<std::string>{"-start", "-stop"}));

    int status = 0;
    errno = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD) << "a child of the test process remains";
}

#endif

}  // namespace
}  // namespace tarnwell::testing
