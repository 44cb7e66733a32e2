#pragma once

#include <optional>
#include <string>

#include "form/grid_selection.h"
#include "form/row_filter.h"
#include "grid/table_grid.h"

namespace tarnwell {

// Find in a table (the viewer's, the statistics, the limits): the cell to select next.

enum class FindDirection { kNext, kPrevious };
enum class FindScope { kPartOfCell, kWholeCell };

struct FindRequest {
    std::string text;  // Windows-1251
    FindScope scope = FindScope::kPartOfCell;
    FindDirection direction = FindDirection::kNext;
};

struct FoundCell {
    GridCell cell;
    bool wrapped = false;  // the search went past the table's end (start, going back) to find it
};

// The cell after `from` in reading order (row by row, each from left to right; before it, from right to
// left, for kPrevious) whose text holds the request's text, or is it (kWholeCell), with letter case
// ignored for Latin and Cyrillic letters alike and Ё taken as Е. The cells searched are those of the
// visible columns, fixed columns included (the limits table's logins are there), in the rows below the
// fixed rows up to the row count: with `shown`, in the filter's rows alone and in its order. Past the
// last cell the search goes on from the first, up to `from` itself, and says so (`wrapped`). A `from`
// that is no searched cell (nothing selected yet) starts at the first cell (the last, for kPrevious).
// nullopt when no cell matches, and for an empty text. A large table is searched on every core.
std::optional<FoundCell> FindCell(const TTableGrid& grid, const FindRequest& request, GridCell from,
                                  const RowFilter* shown = nullptr);

}  // namespace tarnwell
