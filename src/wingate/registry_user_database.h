#pragma once

#include <windows.h>

#include <string>

#include "wingate/user_database.h"

namespace tarnwell {

// The user database in the Windows registry under HKEY_LOCAL_MACHINE, always opened with full access.
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

private:
    std::wstring AccountPath(std::string_view login) const;
    std::string ReadTextOf(HKEY key, std::string_view name);
    void SetValue(std::string_view name, DWORD type, const void* data, DWORD size);

    UserDatabaseKeys keys_;
    HKEY account_ = nullptr;
};

}  // namespace tarnwell
