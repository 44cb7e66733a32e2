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
    const bool any_boxes = !s.check_boxes.empty();

    // Row by row, the order the store keeps cells in. No text can be drawn wider than its length times
    // the widest byte, so a text that cannot beat the column's widest so far is not measured: in a
    // column of similar texts almost none are.
    for (int row = 0; row < s.row_count; ++row) {
        const bool fixed = row < s.fixed_rows;
        const CellStore::RowView cells = s.cells.Row(row);
        if (cells.Size() == 0 && !any_boxes) continue;
        for (int d = first; d < count; ++d) {
            const int col = real[static_cast<std::size_t>(d)];
            std::int64_t box = 0;
            if (any_boxes && s.check_boxes.count(State::CellKey(col, row)) != 0) box = CheckSize;
            const std::string_view text = cells.Text(static_cast<std::size_t>(col));
            std::int64_t& best = widest[static_cast<std::size_t>(d)];
            if (text.empty()) {
                best = std::max(best, box);
                continue;
            }
            if (box + static_cast<std::int64_t>(text.size()) * max_byte[fixed] <= best) continue;
            best = std::max(best, box + measure.TextWidth(text, fixed));
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
