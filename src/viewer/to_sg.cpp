#include "viewer/to_sg.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

#include "files/read_whole_file.h"
#include "text/error.h"
#include "text/message.h"
#include "viewer/byte_scan.h"

namespace tarnwell {
namespace {

// After the first TAB of a line only this many bytes are looked at.
constexpr std::ptrdiff_t kFieldWindow = 255;

// The gauge moves at most about a hundred times per load and no more often than every so many lines:
// often enough to be seen moving, rarely enough to cost nothing.
constexpr std::size_t kMinProgressStep = 65536;

void CutAtFirstNul(std::string& text) {
    const void* nul = std::memchr(text.data(), '\0', text.size());
    if (nul == nullptr) return;
    text.resize(static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    // A binary file cut early would otherwise keep all its bytes alive inside the grid.
    if (text.size() < text.capacity() / 2) text.shrink_to_fit();
}

// The outcome of one line: where the next line starts, and the number of fields when the line counts
// towards the rows and columns (0 when it does not).
struct LineLoaded {
    std::size_t next;
    int fields;
};

// Writes the cells of the line that starts at `line` into `row`.
//
// A line is taken field by field: each field ends at the first TAB. The first field is kept whole;
// after the first TAB only the next 255 bytes are looked at, so a field that reaches past them is cut
// there and what follows is dropped. A line counts when it ends on a field without a TAB. It does not
// when its field index reaches its length first, which happens only to an empty line and to a line
// whose every byte up to there is a TAB: such a line writes its empty cells and no more.
//
// The line's end is found on the way, so its bytes are looked at once.
// The cells go to the grid in one call per line; `cells` is the caller's buffer for them, kept between
// lines so that a load allocates nothing per line.
LineLoaded LoadLine(TTableGrid& grid, TTableGrid::TextBlockId block, std::string_view text, std::size_t line, int row,
                    std::vector<TextSlice>& cells) {
    const char* const data = text.data();
    const char* const end = data + text.size();
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

    grid.SetRowSlices(row, block, cells);
    std::size_t next = static_cast<std::size_t>(line_end - data);
    if (line_end < end) next += *line_end == '\r' && end - line_end > 1 && line_end[1] == '\n' ? 2 : 1;
    return {next, fields};
}

}  // namespace

void ToSG(const std::string& file_name, TTableGrid& grid, LoadProgress& progress, const TextWidthMeasure& measure) {
    std::string text = ReadWholeFile(file_name);
    CutAtFirstNul(text);
    const std::size_t line_count = CountLines(text);
    if (line_count > static_cast<std::size_t>(INT_MAX)) {
        throw Error(FormatMsg("Too many lines in file %s", {file_name}));
    }

    // Cells left over from an earlier file would show through wherever this one writes nothing.
    grid.Clear();
    // The grid keeps the file's bytes; every cell is a slice of them, split where the grid keeps them.
    const TTableGrid::TextBlockId block = grid.AdoptText(std::move(text));
    const std::string_view bytes = grid.AdoptedText(block);

    int widest = 0;
    {
        ProgressShown shown(progress, static_cast<int>(line_count));
        const std::size_t step = std::max(kMinProgressStep, line_count / 100);
        std::size_t until_report = 0;
        std::size_t line = 0;
        std::vector<TextSlice> cells;
        for (int row = 0; line < bytes.size(); ++row) {
            const LineLoaded loaded = LoadLine(grid, block, bytes, line, row, cells);
            if (loaded.fields > 0) {
                widest = std::max(widest, loaded.fields);
                grid.SetRowCount(row + 1);
            }
            line = loaded.next;
            if (until_report == 0) {
                progress.Position(row);
                until_report = step;
            }
            --until_report;
        }
    }
    grid.SetColCount(widest);
    if (grid.RowCount() > 1) grid.SetFixedRows(1);
    grid.AutoSize(measure);
}

}  // namespace tarnwell
