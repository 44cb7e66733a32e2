#pragma once

#include "app/headless_host.h"
#include "app/tf_send.h"

namespace tarnwell {

// Gives the headless host the lines that tell a scheduler's log where the program looked, after the
// messages that say something was not found:
//   kSettingsNotFound     -> the settings file's path;
//   kDatabaseNotReachable -> the export file or the registry, and the database key;
//   kServiceNotFound      -> the same for the service key;
//   kWrongSwitch          -> the four switches.
void AddWhereNotes(HeadlessHost& host, const FSendSetup& setup);

}  // namespace tarnwell
