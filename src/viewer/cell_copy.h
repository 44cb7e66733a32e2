#pragma once

#include <cstddef>
#include <string>

#include "form/grid_selection.h"
#include "form/row_filter.h"
#include "grid/table_grid.h"

namespace tarnwell {

// Copying larger selections would put a text into memory that a window's clipboard turns into twice or
// four times as much again; copying a whole gigabyte log is no use to anyone.
inline constexpr std::size_t kMaxCopiedBytes = std::size_t{64} << 20;

// The selected cells as TAB-separated text, as spreadsheets paste it: the cells of a row joined by TAB,
// each row ended by CR LF. The range is cut to the table's visible columns and its rows (the row count,
// or the filter's rows). A TAB, CR or LF inside a cell (an edited cell may hold one) becomes a space, so
// that the text keeps the shape of the selection. Empty text for a range outside the table.
//
// Error "Выделено слишком много ячеек: их текст больше 64 МБ" when the text would pass kMaxCopiedBytes.
std::string CopyCells(const TTableGrid& grid, CellRange range, const RowFilter* shown = nullptr);

}  // namespace tarnwell
