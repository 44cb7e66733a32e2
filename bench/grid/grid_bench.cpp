// Fills a grid with ten million cells (1,000,000 rows x 10 columns of 20-byte texts), reads them back
// row by row and fits the columns, reporting time and peak memory per cell.
//
//   bench_grid owned     texts copied in one by one with SetCellEx
//   bench_grid adopted   one TAB-separated block handed over with AdoptText and split in place with
//                        SetCellSlice, the way the log viewer loads a file
//
// Peak memory is the process's high-water mark (VmHWM) less what it held before the grid was filled.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <string_view>

#include "common/figure.h"
#include "grid/table_grid.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 1000000;
constexpr int kCols = 10;
constexpr std::size_t kTextLength = 20;
constexpr double kCells = double{kRows} * kCols;

// Kilobytes of a /proc/self/status field; 0 where there is no such file.
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) return std::strtol(line.c_str() + key.size(), nullptr, 10);
    }
    return 0;
}

// Wall and processor time since it was made: the machine may be shared, and processor time is what
// the grid itself costs.
class Stopwatch {
public:
    double Wall() const { return std::chrono::duration<double>(Clock::now() - wall_).count(); }
    double Cpu() const { return static_cast<double>(std::clock() - cpu_) / CLOCKS_PER_SEC; }

private:
    Clock::time_point wall_ = Clock::now();
    std::clock_t cpu_ = std::clock();
};

// A 20-byte text that differs from cell to cell, as log fields do: "r0001234 c05 payload". Written
// digit by digit, so that making it costs little beside the grid's work.
void CellText(int col, int row, char* out) {
    static constexpr char kPattern[] = "r0000000 c00 payload";
    std::memcpy(out, kPattern, kTextLength);
    for (int i = 7; i >= 1; --i, row /= 10) out[i] = static_cast<char>('0' + row % 10);
    out[10] = static_cast<char>('0' + col / 10 % 10);
    out[11] = static_cast<char>('0' + col % 10);
}

// Counts the texts that column fitting really measures; it skips the rest by their length.
class CountingMeasure final : public tarnwell::TextWidthMeasure {
public:
    int TextWidth(std::string_view text, bool fixed) const override {
        ++measured;
        return tarnwell::HeadlessTextWidth().TextWidth(text, fixed);
    }
    int MaxByteWidth(bool fixed) const override { return tarnwell::HeadlessTextWidth().MaxByteWidth(fixed); }
    mutable long measured = 0;
};

void FillOwned(tarnwell::TTableGrid& grid) {
    char text[kTextLength + 1];
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col) {
            CellText(col, row, text);
            grid.SetCellEx(col, row, std::string_view(text, kTextLength));
        }
    }
}

std::string MakeFile() {
    std::string file;
    file.reserve(std::size_t{kRows} * (kCols * (kTextLength + 1) + 1));
    char text[kTextLength + 1];
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col) {
            CellText(col, row, text);
            file.append(text, kTextLength);
            file.push_back(col + 1 < kCols ? '\t' : '\r');
        }
        file.push_back('\n');
    }
    return file;
}

// Splits the adopted block into lines at LF (dropping a CR before it) and fields at TAB.
void SplitAdopted(tarnwell::TTableGrid& grid, tarnwell::TTableGrid::TextBlockId block) {
    const std::string_view bytes = grid.AdoptedText(block);
    std::size_t field = 0;
    int row = 0, col = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\t' && c != '\n') continue;
        std::size_t end = (c == '\n' && i > field && bytes[i - 1] == '\r') ? i - 1 : i;
        grid.SetCellSlice(col, row, block, field, end - field);
        field = i + 1;
        if (c == '\t') {
            ++col;
        } else {
            col = 0;
            ++row;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "owned";
    if (mode != "owned" && mode != "adopted") {
        std::fprintf(stderr, "usage: bench_grid owned|adopted\n");
        return 2;
    }

    tarnwell::TTableGrid grid(kCols, 5);
    std::size_t text_bytes = 0;
    long base_kb = 0;
    Stopwatch fill;
    if (mode == "owned") {
        base_kb = StatusKb("VmHWM");
        fill = Stopwatch();
        FillOwned(grid);
        text_bytes = std::size_t{kRows} * kCols * kTextLength;
    } else {
        std::string file = MakeFile();
        text_bytes = file.size();
        // The file's bytes are the viewer's own load; the grid's cost is what comes on top of them.
        base_kb = StatusKb("VmHWM");
        fill = Stopwatch();
        tarnwell::TTableGrid::TextBlockId block = grid.AdoptText(std::move(file));
        SplitAdopted(grid, block);
    }
    const double fill_wall = fill.Wall(), fill_cpu = fill.Cpu();
    grid.SetRowCount(kRows);
    const long fill_kb = StatusKb("VmHWM");

    Stopwatch read;
    std::size_t read_bytes = 0;
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kCols; ++col) read_bytes += grid.GetCellEx(col, row).size();
    }
    const double read_wall = read.Wall(), read_cpu = read.Cpu();

    CountingMeasure measure;
    Stopwatch fit;
    grid.AutoSize(measure);
    const double fit_wall = fit.Wall(), fit_cpu = fit.Cpu();
    const long peak_kb = StatusKb("VmHWM");

    auto report = [](const char* what, double wall, double cpu, const char* note) {
        std::printf("  %-9s %6.3f s wall, %6.3f s cpu, %5.1f ns/cell%s\n", what, wall, cpu, cpu * 1e9 / kCells, note);
    };
    const double grid_bytes = (static_cast<double>(fill_kb) - base_kb) * 1024.0;
    std::printf("grid %s: %d rows x %d columns = %.0f cells, %zu text bytes (%zu read back)\n", mode.c_str(), kRows,
                kCols, kCells, text_bytes, read_bytes);
    report("fill", fill_wall, fill_cpu, mode == "owned" ? " (SetCellEx)" : " (AdoptText, scan, SetCellSlice)");
    report("read", read_wall, read_cpu, " (GetCellEx, row by row)");
    report("AutoSize", fit_wall, fit_cpu, "");
    std::printf("  AutoSize measured %ld of %.0f texts\n", measure.measured, kCells);
    if (mode == "owned") {
        std::printf("  peak memory %.1f MB: %.1f bytes/cell (texts %.1f bytes/cell)\n", grid_bytes / 1048576.0,
                    grid_bytes / kCells, static_cast<double>(text_bytes) / kCells);
    } else {
        std::printf("  peak memory %.1f MB on top of the %.1f MB block: %.1f bytes/cell; %.2fx the file size\n",
                    grid_bytes / 1048576.0, text_bytes / 1048576.0, grid_bytes / kCells,
                    (grid_bytes + static_cast<double>(text_bytes)) / static_cast<double>(text_bytes));
    }
    std::printf("  peak after reading and fitting: %.1f MB above the start\n", (peak_kb - base_kb) / 1024.0);
    tarnwell::bench::PrintFigure("grid, 10 M cells, " + mode + ": fill",
                                 tarnwell::bench::Text("%.1f ns/cell, %.1f bytes/cell", fill_cpu * 1e9 / kCells,
                                                       grid_bytes / kCells));
    return read_bytes == std::size_t{kRows} * kCols * kTextLength ? 0 : 1;
}
