#pragma once

#include "grid/table_grid.h"
#include "grid/text_width.h"
#include "stats/statistics_figures.h"
#include "text/user_notifier.h"
#include "wingate/user_database.h"

namespace tarnwell {

// Fills the statistics grid from the user database: the eleven captions into row 0, then one row per
// account of type "User" in the store's listing order (the first listed account, when it is a user, reads
// "system"), the row count set to header plus users, the send box of row 1 cleared, and the columns fitted
// to their content. Beside each row's send box the account's key is kept for the settings writer
// (KeepSendFlagAccount); the row shown as "system" keeps none.
//
// Traffic counters and time on line are counts, read as unsigned 32-bit numbers (0 to 4294967295);
// balances and the limit are signed, stored in units of 100 bytes and shown in bytes, computed in 64 bits
// so that values above 21474836 units keep their true size. A user without a limit shows "Не установлено";
// without SendMail, a ticked send box.
//
// Database not reachable: shows "Возможно WinGate не установлен или версия программыне совместима!"
// through the notifier and returns false (the caller abandons silently); the header is rewritten, the rows
// of the previous load stay. A value that cannot be read raises the store's error: the rows filled so far
// and the failing row's cells already written stay, the row count and the first box are left as they were.
// The columns are fitted on every path.
bool LoadFromReg(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier,
                 const TextWidthMeasure& measure = HeadlessTextWidth());
// The same, also giving the figures of the rows filled (emptied first), for the totals and the conversion.
bool LoadFromReg(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, StatisticsFigures& figures,
                 const TextWidthMeasure& measure = HeadlessTextWidth());

// LoadFromReg for a refresh whose next steps are the totals and ConvertTable: the byte counts (traffic,
// balances, a limit) are not written into their cells, which ConvertTable fills with their display texts;
// the columns are fitted to the counts' integer texts all the same. When a value cannot be read, the
// integer texts of the rows read so far are written after all: the table then stands as LoadFromReg
// leaves it. Until ConvertTable runs, those cells hold what the previous load left there.
bool LoadForConversion(TTableGrid& grid, TUserDatabase& database, UserNotifier& notifier, StatisticsFigures& figures,
                       const TextWidthMeasure& measure = HeadlessTextWidth());

}  // namespace tarnwell
