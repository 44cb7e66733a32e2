// Column fitting: every non-fixed display column becomes as wide as its widest cell (check box plus
// text) plus the grid lines and a fixed margin, 16 pixels with the program's 1-pixel lines.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "grid/table_grid_state.h"
#include "grid/unstored_widths.h"

namespace tarnwell {

void TTableGrid::AutoSize(const TextWidthMeasure& measure, const UnstoredTextWidths* unstored) {
    const State& s = *state_;
    const int count = ColCount();
    const int first = s.fixed_cols;
    if (first >= count) return;

    const std::vector<int> real = VisibleRealColumns();
    std::vector<std::int64_t> widest(static_cast<std::size_t>(count), 0);
    const std::int64_t max_byte[2] = {measure.MaxByteWidth(false), measure.MaxByteWidth(true)};

    // The texts, row by row, the order the store keeps cells in. No text can be drawn wider than its
    // length times the widest byte, so a text that cannot beat the column's widest so far is not
    // measured: in a column of similar texts almost none are.
    for (int row = 0; row < s.row_count; ++row) {
        const bool fixed = row < s.fixed_rows;
        const CellStore::RowView cells = s.cells.Row(row);
        if (cells.Size() == 0) continue;
        for (int d = first; d < count; ++d) {
            const std::string_view text = cells.Text(static_cast<std::size_t>(real[static_cast<std::size_t>(d)]));
            std::int64_t& best = widest[static_cast<std::size_t>(d)];
            if (text.empty() || static_cast<std::int64_t>(text.size()) * max_byte[fixed] <= best) continue;
            best = std::max<std::int64_t>(best, measure.TextWidth(text, fixed));
        }
    }

    // Then the cells with a check box, box and text side by side. A cell's text alone never beats its
    // box and text, so taking every text first and the boxed cells again gives the widest of each.
    if (!s.check_boxes.empty()) {
        std::vector<int> display(static_cast<std::size_t>(*std::max_element(real.begin(), real.end())) + 1, -1);
        for (int d = first; d < count; ++d) display[static_cast<std::size_t>(real[static_cast<std::size_t>(d)])] = d;
        for (const auto& [key, state] : s.check_boxes) {
            const auto col = static_cast<std::size_t>(key & 0xFFFFFFFFu);
            const auto row = static_cast<int>(key >> 32);
            if (row < 0 || row >= s.row_count || col >= display.size() || display[col] < 0) continue;
            const bool fixed = row < s.fixed_rows;
            const std::string_view text = s.cells.Get(static_cast<int>(col), row);
            std::int64_t& best = widest[static_cast<std::size_t>(display[col])];
            std::int64_t boxed = CheckSize;
            if (!text.empty() && boxed + static_cast<std::int64_t>(text.size()) * max_byte[fixed] > best) {
                boxed += measure.TextWidth(text, fixed);
            }
            best = std::max(best, boxed);
        }
    }

    const std::int64_t margin = 2 * std::int64_t{GridLineWidth} + 4 + 10;
    for (int d = first; d < count; ++d) {
        std::int64_t content = widest[static_cast<std::size_t>(d)];
        if (unstored != nullptr) content = std::max(content, unstored->Widest(real[static_cast<std::size_t>(d)]));
        std::int64_t width = content + margin;
        SetColWidths(d, static_cast<int>(std::clamp<std::int64_t>(width, 0, INT_MAX)));
    }
}

}  // namespace tarnwell
