#include "app/where_notes.h"

#include <string>

#include "app/switches.h"
#include "settings/settings.h"
#include "text/cp1251.h"
#include "wingate/user_database.h"

namespace tarnwell {

namespace {

// Paths are Windows-1251 on Windows and the file system's own bytes (UTF-8) elsewhere.
std::string PathText(const std::string& path) {
#ifdef _WIN32
    return Cp1251ToUtf8(path);
#else
    return path;
#endif
}

std::string KeyText(const std::string& key_path) {
    return "HKEY_LOCAL_MACHINE" + key_path;
}

// "в файле <path>" or "в реестре": where the registry keys were looked for.
std::string StoreText(const UserDatabaseLocation& location) {
    if (location.IsRegistry()) return "в реестре";
    return "в файле " + PathText(location.FilePath());
}

}  // namespace

void AddWhereNotes(HeadlessHost& host, const FSendSetup& setup) {
    const UserDatabaseKeys keys;
    host.AddNote(MessageName::kSettingsNotFound,
                 "файл настроек ожидается здесь: " + PathText(SettingsFilePath(setup.settings_folder)));
    host.AddNote(MessageName::kDatabaseNotReachable,
                 "база пользователей ожидается " + StoreText(setup.database) + ": " + KeyText(keys.database));
    host.AddNote(MessageName::kServiceNotFound,
                 "ключ службы ожидается " + StoreText(setup.database) + ": " + KeyText(keys.service));
    std::string switches;
    for (std::string_view text : SwitchTexts()) {
        if (!switches.empty()) switches += ", ";
        switches += text;
    }
    host.AddNote(MessageName::kWrongSwitch, "допустимые ключи: " + switches);
}

}  // namespace tarnwell
