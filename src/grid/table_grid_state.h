#pragma once

// The inside of TTableGrid, shared by the files that implement it (model, column fitting, writers).

#include <cstdint>
#include <unordered_map>

#include "grid/cell_store.h"
#include "grid/column_layout.h"
#include "grid/table_grid.h"

namespace tarnwell {

struct TTableGrid::State {
    explicit State(int col_count) : columns(col_count) {}

    CellStore cells;
    // Check box states by cell, (row << 32) | column. A table has a handful of check boxes (one per
    // user row of the statistics table), so a hash map beside the texts costs less than a flag per cell.
    std::unordered_map<std::uint64_t, bool> check_boxes;
    ColumnLayout columns;
    int row_count = 1;
    int fixed_rows = 0;
    int fixed_cols = 0;
    std::uint64_t revision = 0;

    static std::uint64_t CellKey(int col, int row) {
        return (std::uint64_t{static_cast<std::uint32_t>(row)} << 32) | static_cast<std::uint32_t>(col);
    }
};

}  // namespace tarnwell
