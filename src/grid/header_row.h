#pragma once

#include "grid/table_grid.h"

namespace tarnwell {

// A row count of 1 takes the grid's fixed header row away (a table is never left with only fixed rows);
// growing the count again does not bring it back. The loaders call this after setting their row count, so
// that a load from an empty database does not leave the header looking and printing like a data row at
// every later load.
inline void KeepHeaderRow(TTableGrid& grid) {
    if (grid.RowCount() > 1 && grid.FixedRows() < 1) grid.SetFixedRows(1);
}

}  // namespace tarnwell
