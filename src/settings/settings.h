#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "form/form_controls.h"
#include "grid/table_grid.h"
#include "text/user_notifier.h"
#include "wingate/user_database.h"

namespace tarnwell {

// settings.ini: a snapshot of the window's controls. ReadSet copies it into the controls at start-up,
// SaveSet copies the controls into it (auto-save), together with each user's "Послать" flag.
//
// Every call works out the file's path afresh: settings.ini in the program's folder, or in the folder
// given (tests).

inline constexpr std::size_t kMaxSettingsFileSize = 1 << 20;

std::string SettingsFilePath(std::string_view folder);

// Restores the last viewed file into the viewer; ReadSet calls it last, with a path that is not empty.
using TShowLastFile = std::function<void(const std::string& path)>;

// Reads the file into the controls; setting them runs none of their handlers. When there is no file (also
// when a folder, a pipe or anything else that is no regular file stands in its place) it shows "Не найден
// или не существует файл настроек!", ticks every item of the five check lists, leaves the other controls as
// they are and returns false: the start-up sequence then stops silently. A file that cannot be read, and
// any error of show_last_file, is thrown.
bool ReadSet(TFormControls& form, UserNotifier& notifier, const TShowLastFile& show_last_file);
bool ReadSet(TFormControls& form, UserNotifier& notifier, const TShowLastFile& show_last_file, std::string_view folder);

// Writes every key, then the send flags of the statistics table into the store (SaveSendFlags; the caller
// opens the store for this call and releases it afterwards). The file is changed in memory and replaced
// whole in one step, so it is never left half-written; when that is refused it throws Error
// "Unable to write to <path>" and the send flags are not written.
void SaveSet(TFormControls& form, TUserDatabase& db);
void SaveSet(TFormControls& form, TUserDatabase& db, std::string_view folder);

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
// thrown.
void SaveSendFlags(const TTableGrid& grid, TUserDatabase& db);

}  // namespace tarnwell
