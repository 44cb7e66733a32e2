#pragma once

#include <windows.h>

#include <string>

#include "wingate/user_database.h"

namespace tarnwell {

// The user database in the Windows registry under HKEY_LOCAL_MACHINE.
//
// Registry views: a 32-bit WinGate keeps its keys under SOFTWARE in the 32-bit view, which a 64-bit
// program does not see by default. The store looks for the database key, and separately for the service
// key, in the 64-bit view first, then in the 32-bit one, and works in the view that holds it (the 64-bit
// view when neither does, so that "not found" is told as before).
//
// Rights: keys are opened for writing where the process may write them, else for reading, so that the
// statistics show without administrator rights. A write into a key opened for reading is refused before
// anything is written, with the message of kNeedsAdministrator.
//
// Names and texts go through the wide-character calls and our own Windows-1251 table, so Cyrillic logins
// and full names come out right whatever the machine's ANSI code page is. Writes reach the registry at
// once; Flush() has nothing to do.
class RegistryUserDatabase : public TUserDatabase {
public:
    explicit RegistryUserDatabase(UserDatabaseKeys keys);
    ~RegistryUserDatabase() override;

    RegistryUserDatabase(const RegistryUserDatabase&) = delete;
    RegistryUserDatabase& operator=(const RegistryUserDatabase&) = delete;

    std::vector<std::string> ListAccounts() override;
    bool OpenAccount(std::string_view login) override;
    bool OpenExistingAccount(std::string_view login) override;
    void CloseAccount() override;
    bool HasValue(std::string_view name) override;
    std::string ReadText(std::string_view name) override;
    std::int32_t ReadNumber(std::string_view name) override;
    void WriteText(std::string_view name, std::string_view text) override;
    void WriteNumber(std::string_view name, std::int32_t value) override;
    std::string ReadServiceImagePath() override;
    void Flush() override {}

    // The view (KEY_WOW64_64KEY or KEY_WOW64_32KEY) in which the store finds the database key, chosen at
    // the first use.
    REGSAM DatabaseView();

private:
    std::wstring AccountPath(std::string_view login) const;
    std::string ReadTextOf(HKEY key, std::string_view name);
    void SetValue(std::string_view name, DWORD type, const void* data, DWORD size);

    bool OpenAccountKey(std::string_view login, bool create);

    UserDatabaseKeys keys_;
    REGSAM database_view_ = 0;  // 0 until chosen
    HKEY account_ = nullptr;
    bool account_read_only_ = false;
};

// What a write refused for lack of rights says (Windows-1251).
extern const std::string_view kNeedsAdministrator;

}  // namespace tarnwell
