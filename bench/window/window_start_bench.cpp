// The window's start against the headless start, on the same generated database of 10,000 users, a new
// process each run:
//
//   bench_window_start PROGRAM WORK_FOLDER
//
// - headless: PROGRAM (the program as built, window included) without a display: settings, statistics
//   refresh of the 10,000 users, exit; from the spawn to the end of the wait.
// - window: this program as a child (`--window FOLDER`): the same start-up in the window's process, then
//   the window shown, until the statistics grid has been painted for the first time; the child ends
//   itself there. The platform is the X display when DISPLAY is set, else Qt's offscreen platform.
//
// The figure is the difference of the two medians (target: under 100 ms); each run's phases as the child
// saw them are printed too (from its main() on: the window made, the start-up done, the first paint).

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/tf_send.h"
#include "common/figure.h"
#include "common/generated_database.h"
#include "gui/main_window.h"
#include "gui/window_program.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kUsers = 10000;
constexpr int kRepetitions = 15;
constexpr double kTargetMs = 100;

const Clock::time_point kMainEntered = Clock::now();

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Paints of the statistics grid's viewport: the first one ends the child.
class FirstPaint final : public QObject {
public:
    explicit FirstPaint(double started_ms) : started_ms_(started_ms) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Once this paint has been drawn and put on the screen.
            QTimer::singleShot(0, [this] {
                std::printf("child: start-up done %.1f ms, first paint %.1f ms\n", started_ms_, MsSince(kMainEntered));
                std::fflush(stdout);
                _exit(0);
            });
        }
        return false;
    }

private:
    double started_ms_;
    bool seen_ = false;
};

int RunWindowChild(int argc, char** argv, const std::string& folder) {
    fs::current_path(folder);
    auto setup = [&] {
        return tarnwell::FSendSetup{tarnwell::UserDatabaseLocation::RegFile(folder + "/registry.reg"), folder, nullptr,
                                     std::make_unique<tarnwell::SystemProgramRunner>()};
    };
    int qt_argc = 1;
    (void)argc;
    FirstPaint* first = nullptr;
    tarnwell::RunWindow(qt_argc, argv, std::nullopt, setup, [&](tarnwell::MainWindow& window) {
        first = new FirstPaint(MsSince(kMainEntered));
        auto* grid = window.findChild<QAbstractItemView*>(QStringLiteral("ASGRead"));
        grid->viewport()->installEventFilter(first);
    });
    return 1;  // the window closed before its grid was painted
}

// The environment without the display variables (headless), or with a platform for the window: the X
// display when there is one, else Qt's offscreen platform.
std::vector<std::string> Environment(bool window) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const bool display = entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
                             entry.rfind("QT_QPA_PLATFORM=", 0) == 0;
        if (!display || window) env.push_back(entry);
    }
    if (window && !std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        env.push_back("QT_QPA_PLATFORM=offscreen");
    return env;
}

double Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, bool quiet) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) return -1;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return MsSince(start);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--window") == 0) return RunWindowChild(argc, argv, argv[2]);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_window_start PROGRAM WORK_FOLDER\n");
        return 2;
    }
    const fs::path folder = fs::absolute(argv[2]) / "window_start";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(argv[1], folder / "tarnwell");
    std::ofstream(folder / "registry.reg", std::ios::binary) << tarnwell::bench::GeneratedDatabase(kUsers, true);
    std::ofstream(folder / "settings.ini", std::ios::binary)
        << "[mail]\r\nHTMLPath=export.htm\r\n[set]\r\nLastPath=\r\n[AutoRun]\r\nHTML=0\r\nMail=0\r\nMailTable=0\r\n"
           "[opt]\r\nAutoClose=0\r\nAutoSave=0\r\n";

    const std::string self = fs::canonical("/proc/self/exe").string();
    std::vector<double> headless, window;
    for (int i = 0; i < kRepetitions + 2; ++i) {
        const double h = Spawn({(folder / "tarnwell").string()}, Environment(false), true);
        const double w = Spawn({self, "--window", folder.string()}, Environment(true), true);
        if (h < 0 || w < 0) {
            std::fprintf(stderr, "bench_window_start: a run failed (headless %.1f, window %.1f)\n", h, w);
            return 1;
        }
        if (i < 2) continue;  // warm-up: the page cache, the font cache
        headless.push_back(h);
        window.push_back(w);
    }
    const double difference = Median(window) - Median(headless);
    std::printf("platform: %s; %d users, %d runs each\n", std::getenv("DISPLAY") ? "X display" : "offscreen", kUsers,
                kRepetitions);
    std::printf("headless start: median %.1f ms (fastest %.1f ms)\n", Median(headless),
                *std::min_element(headless.begin(), headless.end()));
    std::printf("window to the statistics page painted: median %.1f ms (fastest %.1f ms)\n", Median(window),
                *std::min_element(window.begin(), window.end()));
    std::printf("difference: %.1f ms (target under %.0f ms): %s\n", difference, kTargetMs,
                difference < kTargetMs ? "met" : "NOT met");
    tarnwell::bench::PrintFigure(
        "the window on 10,000 users: statistics page painted after the headless start",
        tarnwell::bench::Text("%.1f ms later (%s)", difference, std::getenv("DISPLAY") ? "X display" : "offscreen"),
        tarnwell::bench::Text("under %.0f ms", kTargetMs), tarnwell::bench::Verdict(difference < kTargetMs));
    // One more window run with its phases shown.
    std::fflush(stdout);
    Spawn({self, "--window", folder.string()}, Environment(true), false);
    fs::remove_all(folder);
    return 0;
}
