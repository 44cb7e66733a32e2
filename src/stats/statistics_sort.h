#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "grid/table_grid.h"

namespace tarnwell {

// The order in which a window shows the statistics table sorted by one of its columns: a click on a column
// header sorts the rows shown by that column, a second click reverses them. The table itself keeps its
// order, so the letters, the report and the stored "Послать" flags, which work on the table, are untouched
// by it.
//
// Numbers sort by their value: traffic by its display text with the unit ("1,5 мб." above "900 кб."), time
// on line and limits as plain numbers; texts that are no number ("Не установлено") come after the numbers,
// and texts compare in the order of the Russian alphabet (CollateCp1251); the "Послать" boxes unticked
// before ticked. Rows that compare equal keep the table's order. The totals row "Сумма" stays last in
// either direction.
enum class SortOrder { kAscending, kDescending };

// The value of a display text for sorting: "1234", "-0,5", "594,28 мб." (in kilobytes: кб. 1, мб. 1024,
// гб. 1024², тб. 1024³). Nothing for a text that is no number.
std::optional<double> SortValue(std::string_view cp1251);

// Whether the row is the totals row: the table's last row, "Сумма" in its login column.
bool IsTotalsRow(const TTableGrid& grid, int row);

// Whether row `a` comes before row `b` when the table is sorted upwards by the real column `col`, the
// totals row aside: a strict weak order over the cells of that column.
bool StatisticsCellLess(const TTableGrid& grid, int col, int a, int b);

// Whether row `a` is shown before row `b` when the table is sorted by `col` in `order`: the totals row
// last either way. Neither row may be a fixed one.
bool StatisticsRowBefore(const TTableGrid& grid, int col, SortOrder order, int a, int b);

// The rows below the fixed rows in the order in which they are shown sorted by `col`.
std::vector<int> SortedStatisticsRows(const TTableGrid& grid, int col, SortOrder order);

}  // namespace tarnwell
