#pragma once

#include <vector>

#include "grid/table_grid.h"
#include "stats/statistics_figures.h"
#include "stats/traffic_format.h"

namespace tarnwell {

// The steps that turn the loaded statistics table (plain numbers) into the table the user sees.

// Appends the totals row "Сумма" below the user rows, already in display form, added up from the figures
// the loader read (not from the table's texts): the four traffic columns summed in single precision, time
// on line in seconds, balances and limit in bytes (users without a limit count nothing). The new row is
// emptied first, texts and check boxes, since the grid keeps cells beyond its row count from earlier
// loads. Totals are 64-bit: beyond 32 bits they show their true size.
void AddSumSG(TTableGrid& grid, const StatisticsFigures& figures, const TrafficDisplay& display);

// Replaces the byte counts of the user rows (1 to the second-to-last row; the totals row is already in
// display form) by the display text of their figures. Time on line and the text "Не установлено" stay as
// they are.
void ConvertTable(TTableGrid& grid, const StatisticsFigures& figures, const TrafficDisplay& display);

// Shows every column again, then hides the column of each unticked item of a column check list
// (ChLBTable for the screen, ChLBHTML for the report). `checked` holds the items' states in column order;
// a column without an item stays visible. The grid never hides its last visible column.
void HideCol(TTableGrid& grid, const std::vector<bool>& checked);

}  // namespace tarnwell
