#pragma once

#include "app/headless_host.h"
#include "app/tf_send.h"

namespace tarnwell {

// Gives the headless host the lines that tell a scheduler's log where the program looked, after the
// messages that say something was not found:
//   "Не найден или не существует файл настроек!"  -> the settings file's path;
//   "Возможно WinGate не установлен ..."           -> the export file or the registry, and the database key;
//   "Не найдено имя службы для перезапуска"         -> the same for the service key;
//   "Неправильно задан ключ"                        -> the four switches.
void AddWhereNotes(HeadlessHost& host, const FSendSetup& setup);

}  // namespace tarnwell
