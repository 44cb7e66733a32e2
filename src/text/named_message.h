#pragma once

#include <string_view>

namespace tarnwell {

// The program's messages that a caller other than the one that shows them needs to know: each one that
// says something was not found, after which a run without a window also says where the program looked
// (app/where_notes.h). They are shown by name (UserNotifier::ShowNamedMessage) and known by name, never
// by comparing texts.
enum class MessageName {
    kSettingsNotFound,      // no settings file where the program looked
    kDatabaseNotReachable,  // no WinGate user database
    kServiceNotFound,       // no service key to restart the proxy with
    kWrongSwitch,           // a first argument that is no switch
};

// The message box's text, Windows-1251.
std::string_view MessageText(MessageName name);

}  // namespace tarnwell
