#pragma once

#include <optional>
#include <span>
#include <vector>

#include "grid/table_grid.h"

namespace tarnwell {

// The rows a filtered table shows, in order: its fixed (header) rows, then the rows the filter keeps
// (viewer/rows_holding.h makes the list of the rows holding a text). One user's requests in a day's log,
// say.
//
// The filter is a list of row numbers beside the grid and changes nothing in it: a window shows row
// RealRow(i) of the grid as its row i, and saving the table still saves every row. Reading it costs
// nothing per painted row.
class RowFilter {
public:
    // Rows in ascending order, each inside the grid's row count, the fixed rows first.
    explicit RowFilter(std::vector<int> rows) : rows_(std::move(rows)) {}
    // Every row: what a table shows unfiltered.
    static RowFilter AllRows(const TTableGrid& grid);

    int Count() const { return static_cast<int>(rows_.size()); }
    // The grid's row shown as row `shown` (0 to Count() - 1).
    int RealRow(int shown) const { return rows_[static_cast<std::size_t>(shown)]; }
    // Where the grid's row is shown; nullopt when the filter leaves it out.
    std::optional<int> ShownRow(int real_row) const;
    std::span<const int> Rows() const { return rows_; }

private:
    std::vector<int> rows_;
};

}  // namespace tarnwell
