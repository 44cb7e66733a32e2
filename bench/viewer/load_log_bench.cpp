// Loads one file into a grid the way the viewer does and prints what it took, for run_bench.py:
//
//     bench_viewer_load <file>           ToSG once: its wall and CPU time, split at the gauge's Show
//                                        and Hide, and the process's peak memory (VmHWM)
//     bench_viewer_load --phases <file>  taking the file's snapshot and counting its lines, timed apart
//     bench_viewer_load --search <file>  ToSG, then the searches over the table: a text that is in no
//                                        cell (every cell looked at), a text in the last row only, the
//                                        filter of one user's rows, and the window's painted steps through
//                                        that filter (a page of rows read at random places, the worst)
//
// Output is one line of name=value pairs. The process ends without tearing the grid down: the viewer
// keeps a loaded table, so freeing it is no part of a load.

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "files/file_snapshot.h"
#include "grid/table_grid.h"
#include "viewer/byte_scan.h"
#include "viewer/rows_holding.h"
#include "viewer/table_find.h"
#include "viewer/to_sg.h"

namespace {

using Clock = std::chrono::steady_clock;

// A moment of the load: wall clock and the CPU time the process has used (user and system).
struct Moment {
    Clock::time_point wall;
    double cpu = 0;
    static Moment Now() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        return {Clock::now(), seconds(usage.ru_utime) + seconds(usage.ru_stime)};
    }
};

double Seconds(const Moment& from, const Moment& to) {
    return std::chrono::duration<double>(to.wall - from.wall).count();
}
double CpuSeconds(const Moment& from, const Moment& to) {
    return to.cpu - from.cpu;
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

long PeakMemoryKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Notes when the loader shows and hides the gauge: the gauge is shown once the file is read and its
// lines counted, and hidden once every cell is set; column fitting follows.
class TimedProgress final : public tarnwell::LoadProgress {
public:
    void Show(int max) override {
        shown = Moment::Now();
        lines = max;
    }
    void Position(int) override { ++positions; }
    void Hide() override { hidden = Moment::Now(); }

    Moment shown;
    Moment hidden;
    int lines = 0;
    int positions = 0;
};

int Load(const std::string& file) {
    tarnwell::TTableGrid grid;
    TimedProgress progress;
    const Moment start = Moment::Now();
    tarnwell::ToSG(file, grid, progress);
    const Moment end = Moment::Now();
    const TimedProgress& p = progress;
    std::printf(
        "load=%.3f read_and_count=%.3f cells=%.3f fit=%.3f "
        "load_cpu=%.3f read_and_count_cpu=%.3f cells_cpu=%.3f fit_cpu=%.3f "
        "lines=%d rows=%d cols=%d gauge_moves=%d vmhwm_kb=%ld\n",
        Seconds(start, end), Seconds(start, p.shown), Seconds(p.shown, p.hidden), Seconds(p.hidden, end),
        CpuSeconds(start, end), CpuSeconds(start, p.shown), CpuSeconds(p.shown, p.hidden), CpuSeconds(p.hidden, end),
        p.lines, grid.RowCount(), grid.ColCount(), p.positions, PeakMemoryKb());
    std::fflush(stdout);
    std::_Exit(0);
}

int Phases(const std::string& file) {
    const Moment start = Moment::Now();
    const auto snapshot = tarnwell::FileSnapshot::Take(file);
    const std::string_view text = snapshot->Bytes();
    const Moment read = Moment::Now();
    std::size_t lines = tarnwell::CountLines(text);
    const Moment counted = Moment::Now();
    std::printf("read=%.3f count=%.3f read_cpu=%.3f count_cpu=%.3f lines=%zu bytes=%zu mapped=%d\n",
                Seconds(start, read), Seconds(read, counted), CpuSeconds(start, read), CpuSeconds(read, counted), lines,
                text.size(), snapshot->SharesFilePages() ? 1 : 0);
    std::fflush(stdout);
    std::_Exit(0);
}

// A page of the viewer's grid: the rows a window paints at once, every column of each.
constexpr int kPageRows = 50;

int Search(const std::string& file) {
    tarnwell::TTableGrid grid;
    tarnwell::NoLoadProgress progress;
    tarnwell::ToSG(file, grid, progress);
    const int last = grid.RowCount() - 1;
    auto timed = [](auto&& work) {
        const Moment start = Moment::Now();
        work();
        const Moment end = Moment::Now();
        return std::pair{Seconds(start, end), CpuSeconds(start, end)};
    };

    std::optional<tarnwell::FoundCell> found;
    const auto [absent, absent_cpu] =
        timed([&] { found = tarnwell::FindCell(grid, {"no such text in this log"}, {}); });
    const bool absent_ok = !found;
    const std::string last_url(grid.GetCellEx(3, last));
    const auto [at_end, at_end_cpu] = timed([&] {
        found = tarnwell::FindCell(grid, {last_url, tarnwell::FindScope::kWholeCell}, {});
    });
    const bool at_end_ok = found && found->cell.row == last;

    // The filter of the first request's user: one user of a few hundred.
    const std::string user(grid.GetCellEx(1, 1));
    std::optional<tarnwell::RowFilter> filter;
    const auto [filtered, filtered_cpu] = timed([&] { filter = tarnwell::RowsHolding(grid, user); });

    // Painted steps through the filter: each reads a page of rows at a random place, as a jump would.
    // Timed by the wall clock and by the thread's processor time: on a busy machine the worst wall time of
    // a thousand steps is a moment the thread waited for a core, not work it did.
    std::mt19937 random(1);
    std::vector<double> steps;
    double worst_step_cpu = 0;
    std::size_t bytes = 0;
    for (int step = 0; step < 1000; ++step) {
        const int top = static_cast<int>(random() % static_cast<unsigned>(std::max(1, filter->Count() - kPageRows)));
        const Moment start = Moment::Now();
        const double cpu_start = ThreadCpuSeconds();
        for (int r = top; r < std::min(filter->Count(), top + kPageRows); ++r) {
            for (int c = 0; c < grid.ColCount(); ++c) bytes += grid.GetCellEx(c, filter->RealRow(r)).size();
        }
        worst_step_cpu = std::max(worst_step_cpu, ThreadCpuSeconds() - cpu_start);
        steps.push_back(Seconds(start, Moment::Now()));
    }
    std::sort(steps.begin(), steps.end());

    std::printf(
        "absent=%.3f absent_cpu=%.3f absent_ok=%d at_end=%.3f at_end_cpu=%.3f at_end_ok=%d "
        "filter=%.3f filter_cpu=%.3f filter_rows=%d rows=%d step_median_ms=%.4f step_worst_ms=%.3f "
        "step_worst_cpu_ms=%.3f page_bytes=%zu vmhwm_kb=%ld\n",
        absent, absent_cpu, absent_ok ? 1 : 0, at_end, at_end_cpu, at_end_ok ? 1 : 0, filtered, filtered_cpu,
        filter->Count(), grid.RowCount(), steps[steps.size() / 2] * 1000, steps.back() * 1000, worst_step_cpu * 1000,
        bytes / 1000, PeakMemoryKb());
    std::fflush(stdout);
    std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 2) return Load(argv[1]);
        if (argc == 3 && std::string(argv[1]) == "--phases") return Phases(argv[2]);
        if (argc == 3 && std::string(argv[1]) == "--search") return Search(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: bench_viewer_load [--phases | --search] <file>\n");
    return 2;
}
