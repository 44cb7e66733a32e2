#include "wingate/registry_user_database.h"

#include <utility>
#include <vector>

#include "text/cp1251_literal.h"
#include "text/win32_text.h"
#include "wingate/account_values.h"
#include "wingate/value_rules.h"

namespace tarnwell {

using namespace literals;

namespace {

// Registry paths are written with a leading backslash and taken from the root; the API wants them
// without it.
std::wstring KeyPath(std::string_view path) {
    while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
    return Cp1251ToWide(path);
}

// Closes the key when it goes out of scope.
class Key {
public:
    Key() = default;
    ~Key() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The view that holds the key: the 64-bit one when it has the key with accounts in it or the 32-bit one
// lacks it, else the 32-bit one when that has it, else the 64-bit one.
REGSAM ViewHolding(const std::wstring& path) {
    auto sub_keys = [&path](REGSAM view) -> long {
        Key key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, key.out()) != ERROR_SUCCESS) return -1;
        DWORD count = 0;
        RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr);
        return static_cast<long>(count);
    };
    const long native = sub_keys(KEY_WOW64_64KEY);
    if (native > 0) return KEY_WOW64_64KEY;
    const long wow = sub_keys(KEY_WOW64_32KEY);
    if (wow > 0 || (wow == 0 && native < 0)) return KEY_WOW64_32KEY;
    return KEY_WOW64_64KEY;
}

// Opens for writing where the rights allow it, else for reading. read_only tells which it got.
LONG OpenWritableOrReadable(const std::wstring& path, REGSAM view, HKEY* key, bool& read_only) {
    read_only = false;
    LONG result = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS | view, key);
    if (result != ERROR_ACCESS_DENIED) return result;
    read_only = true;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, key);
}

struct ValueInfo {
    DWORD type = 0;
    DWORD size = 0;
};

bool QueryInfo(HKEY key, const std::wstring& name, ValueInfo& info) {
    if (key == nullptr) return false;
    return RegQueryValueExW(key, name.c_str(), nullptr, &info.type, nullptr, &info.size) == ERROR_SUCCESS;
}

}  // namespace

const std::string_view kNeedsAdministrator =
    "Нет прав на запись в базу пользователей WinGate: запустите программу от имени администратора"_cp;

RegistryUserDatabase::RegistryUserDatabase(UserDatabaseKeys keys) : keys_(std::move(keys)) {}

REGSAM RegistryUserDatabase::DatabaseView() {
    if (database_view_ == 0) database_view_ = ViewHolding(KeyPath(keys_.database));
    return database_view_;
}

RegistryUserDatabase::~RegistryUserDatabase() {
    CloseAccount();
}

std::vector<std::string> RegistryUserDatabase::ListAccounts() {
    Key key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath(keys_.database).c_str(), 0, KEY_READ | DatabaseView(), key.out()) !=
        ERROR_SUCCESS) {
        throw EDatabaseNotFound("Cannot open the key '" + keys_.database + "'");
    }
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        throw EDatabaseNotFound("Cannot open the key '" + keys_.database + "'");
    }
    std::vector<std::string> names;
    names.reserve(count);
    std::vector<wchar_t> buffer(longest + 1);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        LONG result = RegEnumKeyExW(key.get(), i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) {
            // A key added since the count was taken has a longer name; try this index again.
            buffer.resize(buffer.size() * 2);
            --i;
            continue;
        }
        if (result != ERROR_SUCCESS) break;
        names.push_back(WideToCp1251({buffer.data(), length}));
    }
    return names;
}

// A listed login whose key name holds characters that Windows-1251 lacks reads with '?' in their place;
// opening it by that text must reach the listed key, not create a new one beside it.
std::wstring RegistryUserDatabase::AccountPath(std::string_view login) const {
    std::wstring database = KeyPath(keys_.database);
    std::wstring path = database + L"\\" + Cp1251ToWide(login);
    if (login.find(kUnmappable) == std::string_view::npos) return path;
    const REGSAM view = database_view_ != 0 ? database_view_ : KEY_WOW64_64KEY;
    Key probe;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, probe.out()) == ERROR_SUCCESS) return path;
    Key parent;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, database.c_str(), 0, KEY_READ | view, parent.out()) != ERROR_SUCCESS) {
        return path;
    }
    std::vector<wchar_t> buffer(512);
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        LONG result = RegEnumKeyExW(parent.get(), i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) break;
        if (WideToCp1251({buffer.data(), length}) == login)
            return database + L"\\" + std::wstring(buffer.data(), length);
    }
    return path;
}

bool RegistryUserDatabase::OpenAccount(std::string_view login) {
    return OpenAccountKey(login, true);
}

bool RegistryUserDatabase::OpenExistingAccount(std::string_view login) {
    return OpenAccountKey(login, false);
}

// In the database's view; an existing key without the right to write it is opened for reading.
bool RegistryUserDatabase::OpenAccountKey(std::string_view login, bool create) {
    CloseAccount();
    const REGSAM view = DatabaseView();
    const std::wstring path = AccountPath(login);
    HKEY key = nullptr;
    LONG result = OpenWritableOrReadable(path, view, &key, account_read_only_);
    if (result == ERROR_FILE_NOT_FOUND && create) {
        result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
        // No right to add the key: the write that follows says so.
        if (result == ERROR_ACCESS_DENIED) account_read_only_ = true;
    }
    if (result != ERROR_SUCCESS) return false;
    account_ = key;
    return true;
}

void RegistryUserDatabase::CloseAccount() {
    if (account_ != nullptr) RegCloseKey(account_);
    account_ = nullptr;
    account_read_only_ = false;
}

bool RegistryUserDatabase::HasValue(std::string_view name) {
    ValueInfo info;
    return QueryInfo(account_, Cp1251ToWide(name), info);
}

std::string RegistryUserDatabase::ReadTextOf(HKEY key, std::string_view name) {
    std::wstring wide = Cp1251ToWide(name);
    ValueInfo info;
    if (!QueryInfo(key, wide, info)) return {};
    if (!value_rules::IsText(info.type)) throw value_rules::InvalidTypeError(name);
    // The value may change between the two calls; ask again with the size it reports then.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::vector<wchar_t> buffer(info.size / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        DWORD type = 0;
        LONG result =
            RegQueryValueExW(key, wide.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (result == ERROR_MORE_DATA) {
            info.size = size;
            continue;
        }
        if (result != ERROR_SUCCESS) return {};
        if (!value_rules::IsText(type)) throw value_rules::InvalidTypeError(name);
        std::size_t length = 0;
        std::size_t limit = size / sizeof(wchar_t);
        while (length < limit && buffer[length] != L'\0') ++length;
        return WideToCp1251({buffer.data(), length});
    }
    throw value_rules::GetDataError(name);
}

std::string RegistryUserDatabase::ReadText(std::string_view name) {
    return ReadTextOf(account_, name);
}

std::int32_t RegistryUserDatabase::ReadNumber(std::string_view name) {
    std::wstring wide = Cp1251ToWide(name);
    ValueInfo info;
    if (!QueryInfo(account_, wide, info)) throw value_rules::GetDataError(name);
    // The 8-bit size: a string takes a byte a character there, half its wide size.
    std::size_t ansi = value_rules::IsStringType(info.type) ? (info.size + 1) / 2 : info.size;
    value_rules::CheckNumberRead(name, info.type, ansi);
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (RegQueryValueExW(account_, wide.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS) {
        throw value_rules::GetDataError(name);
    }
    if (type != REG_DWORD || size != sizeof(value)) throw value_rules::InvalidTypeError(name);
    return static_cast<std::int32_t>(value);
}

// A write without the right to it is refused in words an administrator acts on, before anything is
// written: every account of the database has the same rights, so the first write of a batch meets it.
void RegistryUserDatabase::SetValue(std::string_view name, DWORD type, const void* data, DWORD size) {
    if (account_read_only_) throw EUserDatabaseError(std::string(kNeedsAdministrator));
    if (account_ == nullptr) throw value_rules::SetDataError(name);
    const LONG result =
        RegSetValueExW(account_, Cp1251ToWide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (result == ERROR_ACCESS_DENIED) throw EUserDatabaseError(std::string(kNeedsAdministrator));
    if (result != ERROR_SUCCESS) throw value_rules::SetDataError(name);
}

void RegistryUserDatabase::WriteText(std::string_view name, std::string_view text) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    std::wstring wide = Cp1251ToWide(text);
    SetValue(name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void RegistryUserDatabase::WriteNumber(std::string_view name, std::int32_t value) {
    DWORD bits = static_cast<DWORD>(value);
    SetValue(name, REG_DWORD, &bits, sizeof(bits));
}

std::string RegistryUserDatabase::ReadServiceImagePath() {
    const std::wstring path = KeyPath(keys_.service);
    Key key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | ViewHolding(path), key.out()) != ERROR_SUCCESS) {
        throw EServiceNotFound("Cannot open the key '" + keys_.service + "'");
    }
    return ReadTextOf(key.get(), account_values::kImagePath);
}

}  // namespace tarnwell
