#pragma once

#include <vector>

#include "grid/table_grid.h"
#include "grid/text_width.h"
#include "stats/statistics_figures.h"
#include "stats/traffic_format.h"
#include "text/user_notifier.h"
#include "wingate/user_database.h"

namespace tarnwell {

// The statistics refresh behind the "Статистика" button, the display unit group RG1 and the precision
// spin edit CSETochn: loads the table from the user database (LoadFromReg; as LoadForConversion, which
// leaves the byte counts' cells to the conversion), appends the totals (AddSumSG), converts the byte counts
// for display (ConvertTable) and hides the columns not ticked in ChLBTable
// (HideCol). The caller has done the auto-save and shown the statistics page before.
//
// `display` holds RG1's index, CSETochn's value and RGkb's choice as they are now; `table_columns` the
// states of ChLBTable's eleven items. Returns false when the loader showed its message (the caller
// abandons silently); a failure in any step raises its error and ends the refresh there.
bool RefreshStatistics(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, const TrafficDisplay& display,
                       const std::vector<bool>& table_columns, const TextWidthMeasure& measure = HeadlessTextWidth());
// The same, also giving the user rows' figures as read (emptied first; element i is row i + 1), each with
// its account's key name: what the traffic history records.
bool RefreshStatistics(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, const TrafficDisplay& display,
                       const std::vector<bool>& table_columns, const TextWidthMeasure& measure,
                       StatisticsFigures& figures);

}  // namespace tarnwell
