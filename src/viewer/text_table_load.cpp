#include "viewer/text_table_load.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstddef>
#include <memory>
#include <new>
#include <string_view>
#include <utility>
#include <vector>

#include "grid/bulk_rows.h"
#include "text/error.h"
#include "text/message.h"
#include "viewer/byte_scan.h"
#include "viewer/parallel_tasks.h"

namespace tarnwell {
namespace {

// After the first TAB of a line only this many bytes are looked at.
constexpr std::ptrdiff_t kFieldWindow = 255;

// The gauge moves at most about a hundred times per load and no more often than every so many lines:
// often enough to be seen moving, rarely enough to cost nothing.
constexpr std::size_t kMinProgressStep = 65536;

// Each thread takes several parts of the file in turn, so that a thread whose parts hold shorter lines
// does not wait idle for the others at the end.
constexpr std::size_t kPartsPerThread = 4;

// The outcome of one line: where the next line starts, and the number of fields when the line counts
// towards the rows and columns (0 when it does not).
struct LineLoaded {
    std::size_t next;
    int fields;
};

// Writes the cells of the line that starts at `line` (an offset from `data`) into `row`; the line ends
// before `end`.
//
// A line is taken field by field: each field ends at the first TAB. The first field is kept whole;
// after the first TAB only the next 255 bytes are looked at, so a field that reaches past them is cut
// there and what follows is dropped. A line counts when it ends on a field without a TAB. It does not
// when its field index reaches its length first, which happens only to an empty line and to a line
// whose every byte up to there is a TAB: such a line writes its empty cells and no more.
//
// The line's end is found on the way, so its bytes are looked at once.
// The cells go to the rows in one call per line; `cells` is the caller's buffer for them, kept between
// lines so that a load allocates nothing per line.
LineLoaded LoadLine(BulkRows::Part& rows, const char* const data, const char* const end, std::size_t line, int row,
                    std::vector<TextSlice>& cells) {
    const char* const start = data + line;
    cells.clear();
    // Cells come in column order, 0 first.
    auto cell = [&](const char* from, const char* to) {
        cells.push_back({static_cast<std::size_t>(from - data), static_cast<std::size_t>(to - from)});
    };
    auto at_line_end = [&](const char* p) { return p == end || *p == '\r' || *p == '\n'; };

    int fields = 0;
    const char* line_end = FindFieldEnd(start, end);
    if (at_line_end(line_end)) {
        if (line_end > start) {
            cell(start, line_end);
            fields = 1;
        }
    } else {
        const char* const first_tab = line_end;
        cell(start, first_tab);
        const char* const window_end = end - first_tab > kFieldWindow ? first_tab + 1 + kFieldWindow : end;
        const char* field = first_tab + 1;
        // j counts the TABs before `field`, each a byte of the line: j reaches the line's length only
        // when the field starts at the line's end right after a line of TABs.
        for (int j = 1;; ++j) {
            if (at_line_end(field) && field - start == j) {
                line_end = field;
                break;
            }
            const char* stop = FindFieldEnd(field, window_end);
            cell(field, stop);
            if (stop < window_end && *stop == '\t') {
                field = stop + 1;
                continue;
            }
            fields = j + 1;
            line_end = stop < window_end ? stop : FindLineBreak(window_end, end);
            break;
        }
    }

    if (!cells.empty()) rows.SetRow(row, cells);
    std::size_t next = static_cast<std::size_t>(line_end - data);
    if (line_end < end) next += *line_end == '\r' && end - line_end > 1 && line_end[1] == '\n' ? 2 : 1;
    return {next, fields};
}

// A stretch of the file that starts at a line's start and ends at a line's start (or the text's end):
// one part of the rows, loaded by one thread.
struct Stretch {
    std::size_t begin = 0;
    std::size_t end = 0;
    int first_row = 0;
    // Filled by its load: the widest counted line, the last counted row (-1 for none), the lines done.
    int widest = 0;
    int last_counted = -1;
    std::atomic<std::size_t> rows_done{0};
};

// The file cut into about `count` stretches at line starts; a line longer than a stretch makes fewer.
std::vector<std::size_t> CutAtLineStarts(std::string_view text, std::size_t count) {
    std::vector<std::size_t> cuts = {0};
    for (std::size_t i = 1; i < count; ++i) {
        const std::size_t cut = NextLineStart(text, std::max(cuts.back(), text.size() / count * i));
        if (cut > cuts.back() && cut < text.size()) cuts.push_back(cut);
    }
    cuts.push_back(text.size());
    return cuts;
}

// Reports the rows done so far to the gauge, from the calling thread, when they have moved on by a step.
class ProgressReport {
public:
    ProgressReport(LoadProgress& progress, const std::vector<std::unique_ptr<Stretch>>& stretches, std::size_t lines)
        : progress_(progress), stretches_(stretches), step_(std::max(kMinProgressStep, lines / 100)) {}

    void Update() {
        std::size_t done = 0;
        for (const auto& s : stretches_) done += s->rows_done.load(std::memory_order_relaxed);
        if (reported_ && done < last_ + step_) return;
        progress_.Position(static_cast<int>(done));
        reported_ = true;
        last_ = done;
    }
    std::size_t Step() const { return step_; }

private:
    LoadProgress& progress_;
    const std::vector<std::unique_ptr<Stretch>>& stretches_;
    const std::size_t step_;
    bool reported_ = false;
    std::size_t last_ = 0;
};

void LoadStretch(std::string_view text, Stretch& stretch, BulkRows::Part& rows, ProgressReport* report) {
    const char* const data = text.data();
    const char* const end = data + stretch.end;
    std::vector<TextSlice> cells;
    std::size_t line = stretch.begin;
    std::size_t until_report = 0;
    int row = stretch.first_row;
    for (; line < stretch.end; ++row) {
        if (until_report == 0) {
            stretch.rows_done.store(static_cast<std::size_t>(row - stretch.first_row), std::memory_order_relaxed);
            if (report != nullptr) report->Update();
            until_report = report != nullptr ? report->Step() / 4 : kMinProgressStep;
        }
        --until_report;
        const LineLoaded loaded = LoadLine(rows, data, end, line, row, cells);
        if (loaded.fields > 0) {
            stretch.widest = std::max(stretch.widest, loaded.fields);
            stretch.last_counted = row;
        }
        line = loaded.next;
    }
    stretch.rows_done.store(static_cast<std::size_t>(row - stretch.first_row), std::memory_order_relaxed);
}

}  // namespace

LoadSharing SharingFor(std::size_t bytes) {
    const unsigned threads = ThreadsFor(bytes);
    return {threads, threads == 1 ? 1 : threads * kPartsPerThread};
}

void LoadTextTable(std::shared_ptr<const void> owner, std::string_view whole, const std::string& file_name,
                   TTableGrid& grid, LoadProgress& progress, const TextWidthMeasure& measure, LoadSharing sharing) {
    const unsigned threads = std::max(sharing.threads, 1u);
    const std::vector<std::size_t> cuts = CutAtLineStarts(whole, std::max<std::size_t>(sharing.stretches, 1));
    std::vector<std::unique_ptr<Stretch>> stretches;
    std::vector<LineBreaks> breaks(cuts.size() - 1);
    try {
        // The lines of each stretch, all at once: where each stretch's rows start, and where the text
        // ends, at its first NUL.
        RunTasks(breaks.size(), threads, [&](std::size_t i, bool) {
            breaks[i] = CountLineBreaks(whole.data() + cuts[i], whole.data() + cuts[i + 1]);
        });
    } catch (const std::bad_alloc&) {
        throw Error(FormatMsg("Not enough memory to read file %s", {file_name}));
    }
    std::size_t lines = 0;
    std::size_t text_end = 0;
    for (std::size_t i = 0; i < breaks.size(); ++i) {
        auto stretch = std::make_unique<Stretch>();
        stretch->begin = cuts[i];
        stretch->end = static_cast<std::size_t>(breaks[i].nul - whole.data());
        stretch->first_row = static_cast<int>(std::min<std::size_t>(lines, INT_MAX));
        lines += breaks[i].breaks;
        text_end = stretch->end;
        stretches.push_back(std::move(stretch));
        if (text_end < cuts[i + 1]) break;  // the NUL ends the text
    }
    if (text_end > 0 && whole[text_end - 1] != '\r' && whole[text_end - 1] != '\n') ++lines;
    if (lines > static_cast<std::size_t>(INT_MAX)) throw Error(FormatMsg("Too many lines in file %s", {file_name}));

    const std::string_view text = whole.substr(0, text_end);
    BulkRows rows(std::move(owner), text, static_cast<int>(lines));
    int widest = 0;
    int last_counted = -1;
    try {
        std::vector<int> first_rows;
        for (const auto& s : stretches) first_rows.push_back(s->first_row);
        rows.Split(first_rows);
        // A log line of a few dozen bytes and more holds a cell (8 bytes of reference) for every 20 bytes
        // or so; a guess above that costs address space only.
        rows.ExpectCells(text.size() / 16);
        ProgressShown shown(progress, static_cast<int>(lines));
        ProgressReport report(progress, stretches, lines);
        RunTasks(stretches.size(), threads, [&](std::size_t i, bool on_calling_thread) {
            LoadStretch(text, *stretches[i], rows.part(i), on_calling_thread ? &report : nullptr);
        });
    } catch (const std::bad_alloc&) {
        throw Error(FormatMsg("Not enough memory to read file %s", {file_name}));
    }
    for (const auto& s : stretches) {
        widest = std::max(widest, s->widest);
        last_counted = std::max(last_counted, s->last_counted);
    }

    // The grid shows nothing of an earlier file: cells it left would show through where this one has none.
    grid.LoadRows(std::move(rows));
    if (last_counted >= 0) grid.SetRowCount(last_counted + 1);
    grid.SetColCount(widest);
    if (grid.RowCount() > 1) grid.SetFixedRows(1);
    grid.AutoSize(measure);
}

}  // namespace tarnwell
