#include "stats/statistics_refresh.h"

#include "stats/load_from_reg.h"
#include "stats/statistics_steps.h"

namespace tarnwell {

bool RefreshStatistics(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier,
                       const TTrafficDisplay& display, const std::vector<bool>& table_columns,
                       const TextWidthMeasure& measure) {
    if (!LoadFromReg(grid, database, notifier, measure)) return false;
    // The totals are taken from the byte counts, before the conversion replaces them.
    AddSumSG(grid, display);
    ConvertTable(grid, display);
    HideCol(grid, table_columns);
    return true;
}

}  // namespace tarnwell
