#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/temp_folder.h"
#include "wingate/user_database.h"

namespace tarnwell::testing {

// One value (or, with an empty name and type 0, a bare key) of a test database. key is relative to the
// test's own root ("UserDatabase\alice"). Text types (1, 2) hold Windows-1251 text, the others raw bytes.
struct Seed {
    Seed(std::string key_, std::string name_, std::uint32_t type_, std::string data_, std::u16string unicode_key_ = {})
        : key(std::move(key_)),
          name(std::move(name_)),
          type(type_),
          data(std::move(data_)),
          unicode_key(std::move(unicode_key_)) {}

    std::string key;
    std::string name;
    std::uint32_t type = 0;
    std::string data;
    std::u16string unicode_key;  // instead of key, for names that Windows-1251 cannot hold
};

Seed Key(std::string key);
Seed Text(std::string key, std::string name, std::string text);
Seed Dword(std::string key, std::string name, std::uint32_t value);

// A place the store suite runs against: a registry export file in either format, or (on Windows) the
// registry itself below a key of the test's own.
class StoreBackend {
public:
    virtual ~StoreBackend() = default;
    // Removes whatever an earlier run left and creates exactly the seeded keys and values.
    virtual void Seed(const std::vector<testing::Seed>& seeds) = 0;
    virtual std::unique_ptr<TUserDatabase> Open() = 0;
    // The stored type of a value, nullopt when it is missing.
    virtual std::optional<std::uint32_t> TypeOf(const std::string& key, const std::string& name) = 0;
    virtual bool KeyExists(const std::string& key) = 0;
    // Whether key names may hold characters that Windows-1251 lacks (not in a REGEDIT4 file).
    virtual bool HoldsUnicodeNames() const = 0;
    // The keys the store is opened with: below the test root.
    const UserDatabaseKeys& keys() const { return keys_; }

protected:
    StoreBackend();
    // Path of a seed key from HKEY_LOCAL_MACHINE, without a leading backslash.
    std::string FullKey(const std::string& key) const { return root_ + "\\" + key; }

    std::string root_;
    UserDatabaseKeys keys_;
};

std::unique_ptr<StoreBackend> MakeRegFileBackend(bool version5);
#ifdef _WIN32
std::unique_ptr<StoreBackend> MakeRegistryBackend();
#endif

using testing_support::TempFolder;

// The units as UTF-16LE bytes (no byte order mark).
std::string Utf16LeBytes(std::u16string_view units);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace tarnwell::testing
