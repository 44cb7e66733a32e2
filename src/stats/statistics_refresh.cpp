#include "stats/statistics_refresh.h"

#include "stats/load_from_reg.h"
#include "stats/statistics_steps.h"

namespace tarnwell {

bool RefreshStatistics(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, const TrafficDisplay& display,
                       const std::vector<bool>& table_columns, const TextWidthMeasure& measure) {
    StatisticsFigures figures;
    return RefreshStatistics(grid, database, notifier, display, table_columns, measure, figures);
}

bool RefreshStatistics(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, const TrafficDisplay& display,
                       const std::vector<bool>& table_columns, const TextWidthMeasure& measure,
                       StatisticsFigures& figures) {
    if (!LoadForConversion(grid, database, notifier, figures, measure)) return false;
    AddSumSG(grid, figures, display);
    ConvertTable(grid, figures, display);
    HideCol(grid, table_columns);
    return true;
}

}  // namespace tarnwell
