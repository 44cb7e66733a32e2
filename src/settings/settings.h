#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "form/form_controls.h"
#include "text/user_notifier.h"

namespace tarnwell {

// settings.ini: a snapshot of the window's controls. ReadSet copies it into the controls at start-up,
// SaveSet copies the controls into it (auto-save).
//
// Every call works out the file's path afresh: settings.ini in the program's folder, or in the folder
// given (tests).

inline constexpr std::size_t kMaxSettingsFileSize = 1 << 20;

std::string SettingsFilePath(std::string_view folder);

// Restores the last viewed file into the viewer; ReadSet calls it last, with a path that is not empty.
using ShowLastFileHandler = std::function<void(const std::string& path)>;

// Reads the file into the controls; setting them runs none of their handlers. When there is no file (also
// when a folder, a pipe or anything else that is no regular file stands in its place) it shows "Не найден
// или не существует файл настроек!", ticks every item of the five check lists, leaves the other controls as
// they are and returns false: the start-up sequence then stops silently. A file that cannot be read, and
// any error of show_last_file, is thrown.
bool ReadSet(FormControls& form, UserNotifier& notifier, const ShowLastFileHandler& show_last_file);
bool ReadSet(FormControls& form, UserNotifier& notifier, const ShowLastFileHandler& show_last_file,
             std::string_view folder);

// Writes every key. The file is changed in memory and replaced whole in one step, so it is never left
// half-written; when that is refused it throws Error "Unable to write to <path>". (The auto-save then
// writes the statistics table's send flags into the user database, SaveSendFlags, only after this
// succeeded.)
void SaveSet(FormControls& form);
void SaveSet(FormControls& form, std::string_view folder);

}  // namespace tarnwell
