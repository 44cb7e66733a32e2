#pragma once

// For the searches over a table's rows (find, filter): blocks of rows for the worker threads, and the
// visible cells of a row.

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "grid/table_grid.h"

namespace tarnwell {

// Rows [first, end) in blocks that the worker threads take in turn: small enough that the threads
// share the work evenly, large enough that taking one costs nothing beside searching it.
class RowBlocks {
public:
    static constexpr int kRowsPerBlock = 16384;

    RowBlocks(int first, int end) : first_(first), end_(std::max(first, end)) {}
    std::size_t Count() const { return static_cast<std::size_t>((end_ - first_ + kRowsPerBlock - 1) / kRowsPerBlock); }
    int First(std::size_t block) const { return first_ + static_cast<int>(block) * kRowsPerBlock; }
    int End(std::size_t block) const { return std::min(end_, First(block) + kRowsPerBlock); }
    // A rough size of the texts, by which the number of threads is chosen.
    std::size_t Bytes(const TTableGrid& grid) const {
        return static_cast<std::size_t>(end_ - first_) * static_cast<std::size_t>(grid.ColCount()) * 16;
    }

private:
    int first_;
    int end_;
};

// Whether one of the row's cells in `columns` (real columns) satisfies `holds`.
template <typename Holds>
bool RowHolds(const TTableGrid& grid, int row, const std::vector<int>& columns, const Holds& holds) {
    return std::any_of(columns.begin(), columns.end(), [&](int col) { return holds(grid.GetCellEx(col, row)); });
}

}  // namespace tarnwell
