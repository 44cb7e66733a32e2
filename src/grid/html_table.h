#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "grid/table_grid.h"
#include "text/save_progress.h"

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

// The fragment written as it is made, for tables too large to hold it in memory: the same bytes as
// BuildHtmlTable, appended to `out`. Whenever `out` holds kHtmlChunk bytes or more, `flush` is called with
// it and empties it (handing the bytes on); at the end `out` holds the rest. With a meter, each row written
// advances it by one, so that a save shows its progress and may be stopped there (ESaveCancelled).
inline constexpr std::size_t kHtmlChunk = 1 << 16;
using HtmlFlush = std::function<void(std::string& out)>;
void WriteHtmlTable(const TTableGrid& grid, std::span<const int> real_columns, const ColorScheme& colors,
                    std::string& out, const HtmlFlush& flush, SaveMeter* meter = nullptr);

}  // namespace tarnwell
