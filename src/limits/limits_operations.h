#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "grid/table_grid.h"
#include "grid/text_width.h"
#include "text/user_notifier.h"
#include "wingate/service_restart.h"
#include "wingate/user_database.h"

namespace tarnwell {

// The operations of the limits page on its grid ASGLimit. Each store is made by the caller for the one
// operation.

// "Перечитать данные": the six captions into row 0, then one row per account of type "User" in listing
// order: login (the key's own name, also for the first account), full name, limit (`default_limit`, the
// text of the default-limit spin edit SEDefault, when the account has none), the two balances, and the
// "Включен" box (ticked when AccountEnabled is absent). The row count follows every user read, so a
// failing account leaves the users before it. Columns are fitted to their content on every path.
// Database not reachable: shows "Возможно WinGate не установлен или версия программыне совместима!" and
// returns false; the rows of the previous read stay. Read errors of the store propagate.
bool ReadLimits(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, std::string_view default_limit,
                const TextWidthMeasure& measure = HeadlessTextWidth());

// "Установить лимиты": copies every row's limit text into both balances, on screen only.
void SetBalancesFromLimits(TTableGrid& grid);

// Whether a cell of the column can be saved as it stands: the number columns (limit and both balances)
// take a signed 32-bit decimal integer, -2147483648 to 2147483647, negative balances included; the other
// columns take any text. The windows mark a cell for which this is false as soon as it is typed.
bool LimitsCellValid(int col, std::string_view text);

// The first cell of the user rows, row by row and left to right, that LimitsCellValid refuses.
struct BadLimitsCell {
    int col = 0;
    int row = 0;
};
std::optional<BadLimitsCell> FindBadLimitsCell(const TTableGrid& grid);

// "Сохранить изменения": checks every cell first (FindBadLimitsCell); a bad one raises EConvertError
// "'<text>' is not a valid integer value" with a second line naming the user and the column, and then
// nothing is written and the service is not touched. Otherwise writes every row back (RealName, Limit,
// OpeningBalanceLo, ClosingBalanceLo, AccountEnabled) and then always restarts the proxy service, which
// also ends the store's batch of writes. A write refused by the store is raised only after the restart has
// run (also when the restart itself could only show its message); what was written before it stays.
// Returns false when the restart showed its message instead (no service key, or a service program that
// cannot be run): abandon silently.
bool SaveLimits(const TTableGrid& grid, std::unique_ptr<TUserDatabase> database, const ServiceRestartHost& host);

// "Сохранить состояние профилей "Включен"": writes only each row's AccountEnabled; no restart. The batch
// of writes is ended on every path, so the rows written before an error stay written.
void SaveEnabled(const TTableGrid& grid, TUserDatabase& database);

}  // namespace tarnwell
