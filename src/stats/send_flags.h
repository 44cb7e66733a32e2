#pragma once

#include <string_view>

#include "grid/table_grid.h"
#include "wingate/user_database.h"

namespace tarnwell {

// The statistics table's "Послать" boxes and the accounts they belong to.

// Keeps, beside a row of the statistics table, the key of the account whose "Послать" box the row holds,
// so that SaveSendFlags writes the box back by the key and not by the login text on screen (which the user
// may edit, and which reads "system" for the first listed account). The loader calls it for every row it
// fills, when it adds the row's box; an empty key says the box belongs to no account. The key is kept in a
// column past the table's eleven, which neither the window nor the writers show.
void KeepSendFlagAccount(TTableGrid& grid, int row, std::string_view account);

// For each user row of the statistics table (rows 1 to RowCount - 2), writes its "Послать" check box
// (column 0) as SendMail into the account kept beside the row (KeepSendFlagAccount), only when that
// account's key exists and is a user's: no key is ever created. Rows without a kept account or without a
// check box (the placeholder rows shown before the first load, the first listed account shown as
// "system") are skipped. Ends the store's batch (Flush) also when a write fails; the failure is then
// thrown. The auto-save calls it after the settings file is written.
void SaveSendFlags(const TTableGrid& grid, TUserDatabase& db);

}  // namespace tarnwell
