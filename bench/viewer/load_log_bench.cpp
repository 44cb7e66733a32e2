// Loads one file into a grid the way the viewer does and prints what it took, for run_bench.py:
//
//     bench_viewer_load <file>           ToSG once: its wall and CPU time, split at the gauge's Show
//                                        and Hide, and the process's peak memory (VmHWM)
//     bench_viewer_load --phases <file>  reading the file whole and counting its lines, timed apart
//
// Output is one line of name=value pairs. The process ends without tearing the grid down: the viewer
// keeps a loaded table, so freeing it is no part of a load.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "files/file_snapshot.h"
#include "grid/table_grid.h"
#include "viewer/byte_scan.h"
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
    std::printf("read=%.3f count=%.3f read_cpu=%.3f count_cpu=%.3f lines=%zu bytes=%zu\n", Seconds(start, read),
                Seconds(read, counted), CpuSeconds(start, read), CpuSeconds(read, counted), lines, text.size());
    std::fflush(stdout);
    std::_Exit(0);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 2) return Load(argv[1]);
        if (argc == 3 && std::string(argv[1]) == "--phases") return Phases(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fprintf(stderr, "usage: bench_viewer_load [--phases] <file>\n");
    return 2;
}
