#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "grid/table_grid.h"

namespace tarnwell {

// The rows a filtered table shows, in order: its fixed (header) rows, then each other row inside the row
// count that holds a text in one of its visible cells (part of the cell is enough; letter case ignored
// for Latin and Cyrillic letters, Ё as Е). One user's requests in a day's log, say.
//
// The filter is a list of row numbers beside the grid and changes nothing in it: a window shows row
// RealRow(i) of the grid as its row i, and saving the table still saves every row. The list is made in
// one pass over the table, on every core for a large one; reading it costs nothing per painted row.
class RowFilter {
public:
    // Every row: what a table shows unfiltered.
    static RowFilter AllRows(const TTableGrid& grid);
    // The rows with the text; every row for an empty text.
    static RowFilter RowsHolding(const TTableGrid& grid, std::string_view text);

    int Count() const { return static_cast<int>(rows_.size()); }
    // The grid's row shown as row `shown` (0 to Count() - 1).
    int RealRow(int shown) const { return rows_[static_cast<std::size_t>(shown)]; }
    // Where the grid's row is shown; nullopt when the filter leaves it out.
    std::optional<int> ShownRow(int real_row) const;
    std::span<const int> Rows() const { return rows_; }

private:
    explicit RowFilter(std::vector<int> rows) : rows_(std::move(rows)) {}
    std::vector<int> rows_;
};

}  // namespace tarnwell
