// The headless start pays for no window: `tarnwell /createhtml` on a small database (10 users unless
// given), a cold process each run, the program built with the window (its module beside it, no display)
// against the same sources built without it, alternating; and the shared objects each one loads.
//
//   bench_headless_start PROGRAM PROGRAM_WITHOUT_WINDOW [USERS]
//
// Each program runs from a folder of its own, with settings.ini and registry.reg beside it (the window's
// module is copied beside the program when it lies beside it in the build). Figures: the median wall and
// processor times of 31 runs each, their ratio (target: within 1.2x), and the objects the dynamic linker
// loads (LD_DEBUG=files), of which none may be Qt's.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/figure.h"
#include "common/generated_database.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using tarnwell::bench::PrintFigure;
using tarnwell::bench::Text;
using tarnwell::bench::Verdict;

constexpr int kRuns = 31;
constexpr double kTarget = 1.2;

double Ms(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Runs `program /createhtml` once; false when it did not end with status 0.
bool RunOnce(const fs::path& program, double& wall_ms, double& cpu_ms) {
    const std::string path = program.string();
    const char* argv[] = {path.c_str(), "/createhtml", nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    wall_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    cpu_ms = Ms(usage.ru_utime) + Ms(usage.ru_stime);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The files the dynamic linker loads for one run, by name.
std::set<std::string> LoadedObjects(const fs::path& program, const fs::path& folder) {
    const fs::path output = folder / "ld";
    setenv("LD_DEBUG", "files", 1);
    setenv("LD_DEBUG_OUTPUT", output.c_str(), 1);
    double wall = 0, cpu = 0;
    RunOnce(program, wall, cpu);
    unsetenv("LD_DEBUG");
    unsetenv("LD_DEBUG_OUTPUT");
    std::set<std::string> loaded;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("ld.", 0) != 0) continue;
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            const auto at = line.find("file=");
            if (at == std::string::npos || line.find("generating link map") == std::string::npos) continue;
            loaded.insert(line.substr(at + 5, line.find(" [", at) - at - 5));
        }
        fs::remove(entry.path());
    }
    return loaded;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int users = argc == 4 ? std::atoi(argv[3]) : 10;
    if ((argc != 3 && argc != 4) || users < 1) {
        std::fprintf(stderr, "usage: bench_headless_start PROGRAM PROGRAM_WITHOUT_WINDOW [USERS]\n");
        return 2;
    }
    // A scheduler's run: no display.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("TARNWELL_REGISTRY");
    unsetenv("TARNWELL_HOME");
    const fs::path root = fs::temp_directory_path() / "tarnwell_bench_headless_start";
    fs::remove_all(root);
    const fs::path sources[2] = {argv[1], argv[2]};
    fs::path programs[2];
    for (int i = 0; i < 2; ++i) {
        const fs::path folder = root / (i == 0 ? "with_window" : "without_window");
        fs::create_directories(folder);
        programs[i] = folder / "tarnwell";
        fs::copy_file(sources[i], programs[i]);
        for (const auto& entry : fs::directory_iterator(sources[i].parent_path())) {
            if (entry.path().extension() == ".so") fs::copy_file(entry.path(), folder / entry.path().filename());
        }
        std::ofstream(folder / "registry.reg", std::ios::binary) << tarnwell::bench::GeneratedDatabase(users, false);
        std::ofstream(folder / "settings.ini", std::ios::binary)
            << "[mail]\r\nHTMLPath=" << (folder / "export.htm").string()
            << "\r\n[set]\r\nLastPath=\r\n[AutoRun]\r\nHTML=0\r\nMail=0\r\nMailTable=0\r\n[opt]\r\nAutoClose=0\r\n"
               "AutoSave=0\r\n";
    }

    std::vector<double> wall[2], cpu[2];
    for (int run = -3; run < kRuns; ++run) {
        for (int i = 0; i < 2; ++i) {
            double w = 0, c = 0;
            if (!RunOnce(programs[i], w, c)) {
                std::fprintf(stderr, "bench_headless_start: %s did not end with status 0\n", programs[i].c_str());
                return 1;
            }
            if (run < 0) continue;  // warm-up
            wall[i].push_back(w);
            cpu[i].push_back(c);
        }
    }
    std::set<std::string> loaded[2];
    for (int i = 0; i < 2; ++i) loaded[i] = LoadedObjects(programs[i], programs[i].parent_path());
    const bool qt = std::any_of(loaded[0].begin(), loaded[0].end(),
                                [](const std::string& name) { return name.find("libQt") != std::string::npos; });

    const double ratio = Median(wall[0]) / Median(wall[1]);
    std::printf("/createhtml on %d users, headless, cold process, %d runs each, alternating:\n", users, kRuns);
    for (int i = 0; i < 2; ++i) {
        std::printf("  %-40s wall median %.1f ms (fastest %.1f), processor median %.1f ms; %zu shared objects:",
                    i == 0 ? "program built with the window:" : "program built without it:", Median(wall[i]),
                    *std::min_element(wall[i].begin(), wall[i].end()), Median(cpu[i]), loaded[i].size());
        for (const std::string& name : loaded[i]) std::printf(" %s", fs::path(name).filename().c_str());
        std::printf("\n");
    }
    // On a shared machine the wall times carry the wait for a core; the processor times do not.
    const double cpu_ratio = Median(cpu[0]) / Median(cpu[1]);
    PrintFigure(Text("/createhtml on %d users, headless: wall against the build without the window", users),
                Text("%.2fx (%.1f against %.1f ms)", ratio, Median(wall[0]), Median(wall[1])),
                Text("within %.1fx", kTarget), Verdict(ratio <= kTarget));
    PrintFigure(Text("/createhtml on %d users, headless: processor against the build without the window", users),
                Text("%.2fx (%.1f against %.1f ms)", cpu_ratio, Median(cpu[0]), Median(cpu[1])),
                Text("within %.1fx", kTarget), Verdict(cpu_ratio <= kTarget));
    PrintFigure(Text("/createhtml on %d users, headless: shared objects loaded", users),
                Text("%zu (without the window: %zu)%s", loaded[0].size(), loaded[1].size(),
                     qt ? ", Qt among them" : ""),
                "no Qt library", Verdict(!qt && !loaded[0].empty()));  // none seen: the dynamic linker said nothing
    if (!std::getenv("KEEP")) fs::remove_all(root);
    return 0;
}
