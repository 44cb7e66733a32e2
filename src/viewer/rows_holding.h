#pragma once

#include <string_view>

#include "form/row_filter.h"
#include "grid/table_grid.h"

namespace tarnwell {

// The filter of the rows that hold a text in one of their visible cells (part of the cell is enough;
// letter case ignored for Latin and Cyrillic letters, Ё as Е), with the fixed rows first; every row for
// an empty text. The list is made in one pass over the table, on every core for a large one.
RowFilter RowsHolding(const TTableGrid& grid, std::string_view text);

}  // namespace tarnwell
