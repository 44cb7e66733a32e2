#include "grid/column_choice.h"

#include <cstddef>

#include "grid/column_layout.h"

namespace tarnwell {

std::vector<int> TickedColumns(int real_count, const std::vector<bool>& ticked) {
    std::vector<int> kept;
    int left = real_count;
    for (int col = 0; col < real_count; ++col) {
        const auto item = static_cast<std::size_t>(col);
        const bool drop = item < ticked.size() && !ticked[item] && col < ColumnLayout::kHideableColumns && left >= 2;
        if (drop) {
            --left;
        } else {
            kept.push_back(col);
        }
    }
    return kept;
}

}  // namespace tarnwell
