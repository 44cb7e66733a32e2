#include "viewer/rows_holding.h"

#include <algorithm>

#include "viewer/folded_match.h"
#include "viewer/grid_rows.h"
#include "viewer/parallel_tasks.h"

namespace tarnwell {

RowFilter RowsHolding(const TTableGrid& grid, std::string_view text) {
    const FoldedText wanted(text);
    if (wanted.Empty()) return RowFilter::AllRows(grid);
    const std::vector<int> columns = grid.VisibleRealColumns();
    const int first = std::min(grid.FixedRows(), grid.RowCount());
    const RowBlocks blocks(first, grid.RowCount());

    // Each block of rows keeps its own list; the lists are joined in order.
    std::vector<std::vector<int>> found(blocks.Count());
    RunTasks(blocks.Count(), ThreadsFor(blocks.Bytes(grid)), [&](std::size_t block, bool) {
        for (int row = blocks.First(block); row < blocks.End(block); ++row) {
            if (RowHolds(grid, row, columns, [&](std::string_view cell) { return wanted.FoundIn(cell); })) {
                found[block].push_back(row);
            }
        }
    });

    std::size_t total = static_cast<std::size_t>(first);
    for (const auto& rows : found) total += rows.size();
    std::vector<int> rows;
    rows.reserve(total);
    for (int row = 0; row < first; ++row) rows.push_back(row);
    for (auto& block_rows : found) {
        rows.insert(rows.end(), block_rows.begin(), block_rows.end());
        block_rows = std::vector<int>();
    }
    return RowFilter(std::move(rows));
}

}  // namespace tarnwell
