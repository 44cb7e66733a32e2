// The viewer's save of a loaded log, as the "Сохранить ..." button runs it: the HTML page (with its bare
// fragment in grid.tmp beside it) or the Excel workbook, in a process of its own:
//
//   bench_save LOG html|xls OUTPUT_FOLDER LABEL
//
// The log is loaded with ToSG first. Then the peak resident memory is reset (/proc/self/clear_refs), the
// save runs with a progress that is asked at every step as the window's is, and the figures are its wall and
// processor time and how far the peak rose above the memory the loaded table holds. The page must not grow
// with the cells at all; the workbook keeps its table of distinct texts (the shared strings), so its figure
// is set beside the bytes of those texts, counted after the save (so that the count's own memory is not in
// the heap the save could reuse).

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unordered_set>

#include "common/figure.h"
#include "report/report_file.h"
#include "viewer/to_sg.h"

namespace {

namespace fs = std::filesystem;
using tarnwell::bench::PrintFigure;
using tarnwell::bench::Text;
using tarnwell::bench::Verdict;

double StatusMb(const char* key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(key, 0) == 0) return std::stod(line.substr(std::strlen(key))) / 1024.0;
    }
    return 0;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Asked at every step, as the window's progress is; never stops the save.
class CountingProgress final : public tarnwell::SaveProgress {
public:
    void Show(int) override {}
    void Position(int) override {}
    void Hide() override {}
    bool CancelRequested() override {
        ++steps;
        return false;
    }
    int steps = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || (std::string(argv[2]) != "html" && std::string(argv[2]) != "xls")) {
        std::fprintf(stderr, "usage: bench_save LOG html|xls OUTPUT_FOLDER LABEL\n");
        return 2;
    }
    const std::string log = argv[1];
    const bool html = std::string(argv[2]) == "html";
    const fs::path out = argv[3];
    const std::string label = argv[4];

    tarnwell::TTableGrid grid;
    tarnwell::NoLoadProgress loading;
    tarnwell::ToSG(log, grid, loading);
    const std::vector<int> columns = grid.VisibleRealColumns();
    const double rss_mb = StatusMb("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    CountingProgress progress;
    const double cpu_start = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::string failure;
    fs::path target = out / (html ? "log.htm" : "log.xls");
    try {
        if (html) {
            tarnwell::SaveReportPage(target.string(), grid, columns, (out / "grid.tmp").string(),
                                     tarnwell::HeadlessColorScheme(), progress);
        } else {
            grid.SaveToXLS(target.string(), progress);
        }
    } catch (const std::exception& e) {
        failure = e.what();
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = CpuSeconds() - cpu_start;
    const double growth_mb = StatusMb("VmHWM:") - rss_mb;
    const double file_mb = fs::exists(target) ? static_cast<double>(fs::file_size(target)) / 1048576.0 : 0;
    const double temp_mb =
        fs::exists(out / "grid.tmp") ? static_cast<double>(fs::file_size(out / "grid.tmp")) / 1048576.0 : 0;

    std::uint64_t cells = 0;
    std::uint64_t distinct_bytes = 0;
    std::uint64_t distinct = 0;
    // Counted after the save, so that the set's memory is not in the heap the save could reuse.
    if (!html) {
        std::unordered_set<std::string_view> texts;
        for (int row = 0; row < grid.RowCount(); ++row) {
            for (int col : columns) {
                const std::string_view text = grid.GetCellEx(col, row);
                if (text.empty()) continue;
                ++cells;
                if (texts.insert(text).second) distinct_bytes += text.size();
            }
        }
        distinct = texts.size();
    }

    std::printf("%s: %d rows x %zu columns, loaded table %.0f MB resident\n", label.c_str(), grid.RowCount(),
                columns.size(), rss_mb);
    if (!failure.empty()) {
        std::printf("  save as %s refused: %s (after %.2f s)\n", html ? "HTML" : "Excel", failure.c_str(), wall);
        PrintFigure(label + ", save as " + (html ? "HTML" : "Excel") + ": time", "refused: " + failure);
        return 0;
    }
    std::printf("  save as %s: %.2f s wall, %.2f s processor; %.0f MB written%s; %d progress steps\n",
                html ? "HTML" : "Excel", wall, cpu, file_mb,
                html ? Text(" (and %.0f MB of grid.tmp)", temp_mb).c_str() : "", progress.steps);
    std::printf("  peak memory while saving: +%.1f MB over the loaded table\n", growth_mb);
    const std::string what = label + ", save as " + (html ? "HTML" : "Excel");
    PrintFigure(what + ": time", Text("%.2f s (processor %.2f s; %.0f MB/s written)", wall, cpu,
                                      (file_mb + temp_mb) / wall));
    if (html) {
        // Buffers of a few chunks, whatever the log: 16 MB leaves room for the allocator's own.
        PrintFigure(what + ": peak memory growth", Text("%.1f MB", growth_mb), "under 16 MB, whatever the size",
                    Verdict(growth_mb < 16));
    } else {
        // The shared strings: each distinct text once in one block, an 8-byte span and two to four 4-byte
        // hash slots per text. The block and the spans grow by doubling, so while one is copied both copies
        // are resident (twice the texts, 16 bytes a text), and the slots are rebuilt into twice as many (up
        // to 24 bytes a text): a bound set by the distinct texts, whatever the number of cells.
        const double allowed_mb =
            (2 * static_cast<double>(distinct_bytes) + 40.0 * static_cast<double>(distinct)) / 1048576.0 + 16;
        std::printf("  %llu cells, %llu distinct texts of %.0f MB; growth %.0f bytes per distinct text\n",
                    static_cast<unsigned long long>(cells), static_cast<unsigned long long>(distinct),
                    static_cast<double>(distinct_bytes) / 1048576.0,
                    growth_mb * 1048576.0 / static_cast<double>(std::max<std::uint64_t>(distinct, 1)));
        PrintFigure(what + ": peak memory growth", Text("%.1f MB", growth_mb),
                    Text("under 2x the distinct texts + 40 bytes each + 16 MB (%.0f MB)", allowed_mb),
                    Verdict(growth_mb < allowed_mb));
    }
    return 0;
}
