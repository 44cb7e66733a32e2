#include "viewer/to_sg.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>
#include <utility>

#include "text/error.h"
#include "text/message.h"
#include "viewer/line_splitter.h"
#include "viewer/read_whole_file.h"

namespace tarnwell {
namespace {

// After the first TAB of a line only this many bytes are looked at, counted from each TAB anew but never
// past the end of the bytes already allowed.
constexpr std::size_t kFieldWindow = 255;

// The gauge moves at most about a hundred times per load and no more often than every so many lines:
// often enough to be seen moving, rarely enough to cost nothing.
constexpr std::size_t kMinProgressStep = 65536;

// Keeps the gauge shown for the life of the object, so that it is hidden however the load ends.
class ProgressShown {
public:
    ProgressShown(LoadProgress& progress, int max) : progress_(progress) { progress_.Show(max); }
    ~ProgressShown() { progress_.Hide(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    LoadProgress& progress_;
};

void CutAtFirstNul(std::string& text) {
    const void* nul = std::memchr(text.data(), '\0', text.size());
    if (nul == nullptr) return;
    text.resize(static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    // A binary file cut early would otherwise keep all its bytes alive inside the grid.
    if (text.size() < text.capacity() / 2) text.shrink_to_fit();
}

// Writes the cells of the line [begin, end) into `row`. Returns the number of fields when the line ends
// on a field without a TAB (the line then counts towards the rows and columns), or 0 when the field
// index reaches the line's length first: an empty line, a line of TABs only.
int LoadLine(TTableGrid& grid, TTableGrid::TextBlockId block, const char* data, std::size_t begin, std::size_t end,
             int row) {
    const std::size_t length = end - begin;  // taken before the line is cut
    std::size_t field_begin = begin;
    std::size_t rest_end = end;
    for (std::size_t j = 0; j < length; ++j) {
        const void* tab = std::memchr(data + field_begin, '\t', rest_end - field_begin);
        std::size_t field_end =
            tab != nullptr ? static_cast<std::size_t>(static_cast<const char*>(tab) - data) : rest_end;
        // j stays below 258: the window after the first TAB holds at most 255 more TABs.
        grid.SetCellSlice(static_cast<int>(j), row, block, field_begin, field_end - field_begin);
        if (tab == nullptr) return static_cast<int>(j) + 1;
        field_begin = field_end + 1;
        rest_end = std::min(rest_end, field_begin + kFieldWindow);
    }
    return 0;
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
        LineSplitter lines(bytes);
        std::size_t begin = 0;
        std::size_t end = 0;
        for (int row = 0; lines.Next(begin, end); ++row) {
            int fields = LoadLine(grid, block, bytes.data(), begin, end, row);
            if (fields > 0) {
                widest = std::max(widest, fields);
                grid.SetRowCount(row + 1);
            }
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
