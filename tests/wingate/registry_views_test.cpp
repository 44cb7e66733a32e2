// The registry store against Wine's registry: the database and service keys found in the 32-bit view as
// well as the 64-bit one, and a write without the right to it refused in words, with nothing written.
#ifdef _WIN32

#include <windows.h>
// sddl.h needs the types of windows.h.
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

#include "text/win32_text.h"
#include "wingate/registry_user_database.h"

namespace tarnwell {
namespace {

const std::wstring kRoot = L"SOFTWARE\\Tarnwell Tests\\views-" + std::to_wstring(GetCurrentProcessId());

UserDatabaseKeys Keys() {
    const std::string root = "\\" + WideToCp1251(kRoot);
    return UserDatabaseKeys{root + "\\UserDatabase", root + "\\Services\\WinGateEngine"};
}

void RemoveRoot() {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRoot.c_str(), view, 0);
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarnwell Tests", 0, KEY_ALL_ACCESS | view, &key) ==
            ERROR_SUCCESS) {
            RegDeleteTreeW(key, (L"views-" + std::to_wstring(GetCurrentProcessId())).c_str());
            RegCloseKey(key);
        }
    }
}

// A key below the test root in one view, with a DWORD value (or none), and a security descriptor (SDDL)
// when given.
void Seed(REGSAM view, const std::wstring& key, const wchar_t* name, DWORD value, const wchar_t* sddl = nullptr) {
    SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    if (sddl != nullptr) {
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                         &security.lpSecurityDescriptor, nullptr));
    }
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kRoot + L"\\" + key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view,
                              sddl != nullptr ? &security : nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    if (name != nullptr)
        RegSetValueExW(handle, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(handle);
    if (security.lpSecurityDescriptor != nullptr) LocalFree(security.lpSecurityDescriptor);
}

bool KeyIn(REGSAM view, const std::wstring& key) {
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kRoot + L"\\" + key).c_str(), 0, KEY_READ | view, &handle) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(handle);
    return true;
}

DWORD ValueIn(REGSAM view, const std::wstring& key, const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    RegGetValueW(HKEY_LOCAL_MACHINE, (kRoot + L"\\" + key).c_str(), name,
                 RRF_RT_REG_DWORD | (view == KEY_WOW64_32KEY ? RRF_SUBKEY_WOW6432KEY : RRF_SUBKEY_WOW6464KEY), nullptr,
                 &value, &size);
    return value;
}

class RegistryViews : public testing::Test {
protected:
    void SetUp() override { RemoveRoot(); }
    void TearDown() override { RemoveRoot(); }
};

TEST_F(RegistryViews, ThirtyTwoBitWinGateIsFoundAndWrittenInItsView) {
    Seed(KEY_WOW64_32KEY, L"UserDatabase\\alice", L"Limit", 500);
    Seed(KEY_WOW64_32KEY, L"Services\\WinGateEngine", nullptr, 0);
    ASSERT_FALSE(KeyIn(KEY_WOW64_64KEY, L"UserDatabase"));  // the redirection is real under this registry

    RegistryUserDatabase db(Keys());
    EXPECT_EQ(db.DatabaseView(), static_cast<REGSAM>(KEY_WOW64_32KEY));
    EXPECT_EQ(db.ListAccounts(), std::vector<std::string>{"alice"});
    ASSERT_TRUE(db.OpenExistingAccount("alice"));
    EXPECT_EQ(db.ReadNumber("Limit"), 500);
    db.WriteNumber("Limit", 700);
    ASSERT_TRUE(db.OpenAccount("bob"));  // a new account goes beside the others
    db.WriteNumber("Limit", 1);
    db.CloseAccount();
    EXPECT_NO_THROW(db.ReadServiceImagePath());

    EXPECT_EQ(ValueIn(KEY_WOW64_32KEY, L"UserDatabase\\alice", L"Limit"), 700u);
    EXPECT_TRUE(KeyIn(KEY_WOW64_32KEY, L"UserDatabase\\bob"));
    EXPECT_FALSE(KeyIn(KEY_WOW64_64KEY, L"UserDatabase"));
}

TEST_F(RegistryViews, TheNativeViewWinsWhenItHoldsAccounts) {
    Seed(KEY_WOW64_32KEY, L"UserDatabase\\old", L"Limit", 1);
    Seed(KEY_WOW64_64KEY, L"UserDatabase\\alice", L"Limit", 2);
    RegistryUserDatabase db(Keys());
    EXPECT_EQ(db.ListAccounts(), std::vector<std::string>{"alice"});
}

TEST_F(RegistryViews, NeitherViewHoldsTheDatabase) {
    RegistryUserDatabase db(Keys());
    EXPECT_THROW(db.ListAccounts(), EDatabaseNotFound);
    EXPECT_THROW(db.ReadServiceImagePath(), EServiceNotFound);
}

// Everyone may read the account, nobody may write it: the statistics still read, and the first write says
// what to do and writes nothing. Wine grants every right whatever a key's security says; there the test
// has nothing to show and skips itself.
TEST_F(RegistryViews, WriteWithoutRightsAsksForAnAdministratorAndWritesNothing) {
    Seed(KEY_WOW64_64KEY, L"UserDatabase\\alice", L"Limit", 500, L"D:P(A;;KR;;;WD)");
    HKEY probe = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kRoot + L"\\UserDatabase\\alice").c_str(), 0, KEY_SET_VALUE, &probe) ==
        ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "this registry does not enforce the security of its keys";
    }
    RegistryUserDatabase db(Keys());
    EXPECT_EQ(db.ListAccounts(), std::vector<std::string>{"alice"});
    ASSERT_TRUE(db.OpenExistingAccount("alice"));
    EXPECT_EQ(db.ReadNumber("Limit"), 500);
    try {
        db.WriteNumber("Limit", 700);
        FAIL() << "the write went through";
    } catch (const EUserDatabaseError& e) {
        EXPECT_EQ(std::string(e.what()), std::string(kNeedsAdministrator));
    }
    EXPECT_EQ(ValueIn(KEY_WOW64_64KEY, L"UserDatabase\\alice", L"Limit"), 500u);

    // Let the test take its key away again.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kRoot + L"\\UserDatabase\\alice").c_str(), 0, WRITE_DAC, &key),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR open = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)", SDDL_REVISION_1, &open, nullptr);
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, open);
    LocalFree(open);
    RegCloseKey(key);
}

}  // namespace
}  // namespace tarnwell

#endif  // _WIN32
