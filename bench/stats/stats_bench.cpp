// Statistics refresh and limits save over a generated database of 10,000 users in a registry export file.
//
//   bench_stats refresh   load + totals + conversion + column hiding, the store opened (file parsed) each time
//   bench_stats refresh-utf16   the same on the database as a Version 5.00 (UTF-16) file
//   bench_stats save      limits read once, then "Установить лимиты" + save with the service restart, whose
//                         runner and pause do nothing
//
// Each figure is the median and the fastest of the repetitions (21, or REPS); the target is checked on the
// median.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/memory_reuse.h"
#include "common/figure.h"
#include "common/generated_database.h"
#include "common/stopwatch.h"
#include "limits/limits_operations.h"
#include "limits/limits_table.h"
#include "stats/statistics_refresh.h"
#include "stats/statistics_table.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

constexpr int kUsers = 10000;
// REPS=n (1 to 1000) for more or fewer repetitions, as when profiling; 21 otherwise.
int Repetitions() {
    const char* text = std::getenv("REPS");
    if (text == nullptr) return 21;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    return (end != text && *end == '\0' && n >= 1 && n <= 1000) ? static_cast<int>(n) : 21;
}

const int kRepetitions = Repetitions();

using bench::Median;
using bench::Stopwatch;
using bench::Timing;

// The generated database as a REGEDIT4 file, or (utf16) as the Version 5.00 file of UTF-16 text that
// the registry editor of current Windows exports: twice the bytes, the same keys and values.
std::string DatabaseFile(bool utf16) {
    std::string text = bench::GeneratedDatabase(kUsers, true);
    if (!utf16) return text;
    text.replace(0, std::strlen("REGEDIT4"), "Windows Registry Editor Version 5.00");
    return bench::Version5FileBytes(Cp1251ToUtf16(text));
}

std::filesystem::path WriteDatabase(const std::string& mode) {
    auto path = std::filesystem::temp_directory_path() / ("tarnwell_bench_stats_" + mode + ".reg");
    const std::string bytes = DatabaseFile(mode == "refresh-utf16");
    std::ofstream(path, std::ios::binary) << bytes;
    std::printf("database: %d users, %.2f MB\n", kUsers, static_cast<double>(bytes.size()) / 1e6);
    return path;
}

class Quiet : public UserNotifier, public StatusText, public Pause, public ProgramRunner {
public:
    void ShowMessage(std::string_view text) override {
        std::fprintf(stderr, "message: %.*s\n", int(text.size()), text.data());
    }
    void SetStatusText(std::string_view) override {}
    void Sleep(std::chrono::milliseconds) override {}
    bool CanRun(const std::string&) override { return true; }
    void Run(const std::string&, const std::string&) override {}
};

int Report(const char* what, const std::vector<Timing>& runs, double target_ms) {
    std::vector<double> wall, cpu;
    for (const Timing& t : runs) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    double wall_median = Median(wall);
    double cpu_median = Median(cpu);
    auto verdict = [&](double ms) { return ms < target_ms ? "met" : "missed"; };
    std::printf(
        "%s over %zu runs: wall median %.1f ms (fastest %.1f), processor median %.1f ms; "
        "target %.0f ms: %s by the wall time, %s by the processor time\n",
        what, runs.size(), wall_median, *std::min_element(wall.begin(), wall.end()), cpu_median, target_ms,
        verdict(wall_median), verdict(cpu_median));
    bench::PrintFigure(what, bench::Text("%.1f ms (processor %.1f ms)", wall_median, cpu_median),
                       bench::Text("under %.0f ms", target_ms), bench::Verdict(wall_median < target_ms));
    return 0;  // a figure, not a test: a slow shared machine must not fail the run
}

int Refresh(const std::filesystem::path& file) {
    auto location = UserDatabaseLocation::RegFile(file.string());
    TTableGrid grid(stat_col::Count, 5);
    grid.SetFixedRows(1);
    Quiet quiet;
    std::vector<bool> columns(stat_col::Count, true);
    columns[stat_col::RealName] = false;
    std::vector<Timing> times;
    for (int i = 0; i < kRepetitions; ++i) {
        Stopwatch watch;
        if (!RefreshStatistics(grid, *location.Open(), quiet, TrafficDisplay{0, 2, true}, columns)) return 1;
        times.push_back(watch.Stop());
    }
    std::printf("rows: %d, totals: %s\n", grid.RowCount(),
                Cp1251ToUtf8(grid.GetCellEx(stat_col::ClientSendTraffic, grid.RowCount() - 1)).c_str());
    return Report(file.extension() == ".reg" && file.stem().string().find("utf16") != std::string::npos
                      ? "statistics refresh, 10,000 users, UTF-16 file"
                      : "statistics refresh, 10,000 users",
                  times, 15);
}

int Save(const std::filesystem::path& file) {
    auto location = UserDatabaseLocation::RegFile(file.string());
    TTableGrid grid(limit_col::Count, 5);
    grid.SetFixedRows(1);
    grid.SetFixedCols(1);
    Quiet quiet;
    ServiceRestartHost host{quiet, quiet, quiet, quiet};
    if (!ReadLimits(grid, *location.Open(), quiet, "200000")) return 1;
    std::vector<Timing> times;
    for (int i = 0; i < kRepetitions; ++i) {
        // A different limit each time, so that every save really changes the file.
        grid.SetCellEx(limit_col::Limit, 1, std::to_string(100000 + i));
        Stopwatch watch;
        SetBalancesFromLimits(grid);
        if (!SaveLimits(grid, location.Open(), host)) return 1;
        times.push_back(watch.Stop());
    }
    std::printf("rows saved per run: %d\n", grid.RowCount() - 1);
    return Report("limits save, 10,000 users", times, 200);
}

}  // namespace
}  // namespace tarnwell

int main(int argc, char** argv) {
    const std::string mode = argc == 2 ? argv[1] : "";
    if (mode != "refresh" && mode != "refresh-utf16" && mode != "save") {
        std::fprintf(stderr, "usage: bench_stats refresh|refresh-utf16|save\n");
        return 2;
    }
    // The heap as the program sets it up first thing: where big buffers come from decides how many
    // fresh pages each refresh touches, and the C library's own choice drifts from run to run.
    tarnwell::ReuseFreedMemory();
    auto file = tarnwell::WriteDatabase(argv[1]);
    int status = mode == "save" ? tarnwell::Save(file) : tarnwell::Refresh(file);
    if (!std::getenv("KEEP")) std::filesystem::remove(file);
    return status;
}
