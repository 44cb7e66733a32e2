#pragma once

#include <utility>

#include "grid/table_grid.h"
#include "grid/text_width.h"

namespace tarnwell {

// Runs `fill` (a load into the grid) and then fits the grid's columns to their content, on every path:
// also when `fill` throws, so that the rows loaded before an error show at their width. Returns what
// `fill` returns.
// With `unstored`, the columns also fit the texts the load measured without storing them.
template <class Fill>
auto FillThenFitColumns(TTableGrid& grid, const TextWidthMeasure& measure, Fill&& fill,
                        const UnstoredTextWidths* unstored = nullptr) {
    try {
        auto result = std::forward<Fill>(fill)();
        grid.AutoSize(measure, unstored);
        return result;
    } catch (...) {
        grid.AutoSize(measure, unstored);
        throw;
    }
}

}  // namespace tarnwell
