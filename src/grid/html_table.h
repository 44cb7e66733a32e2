#pragma once

#include <span>
#include <string>

#include "grid/table_grid.h"

namespace tarnwell {

// The grid as an HTML table fragment: the table start tag, a bold header row made of row 0 when the
// grid has a fixed row, one row element per further row with one cell per visible column in display
// order, and the end tag; every line ends in CR LF. Cell texts come through SaveCell and go out as text:
// "&", "<" and ">" as entities, then each CR turned into "<br>"; an empty text is written as "<br>".
// Named colours are resolved now, through `colors`.
std::string BuildHtmlTable(const TTableGrid& grid, const ColorScheme& colors = HeadlessColorScheme());

// The same with the real columns to write given, in the order given, whatever the grid hides; the first
// FixedCols of them (at most all but one) have the fixed look.
std::string BuildHtmlTable(const TTableGrid& grid, std::span<const int> real_columns,
                           const ColorScheme& colors = HeadlessColorScheme());

}  // namespace tarnwell
