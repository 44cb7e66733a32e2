#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#include <cerrno>
#endif

#include "text/cp1251.h"
#include "text/program_folder.h"
#include "text/win32_text.h"
#include "wingate/reg_file_user_database.h"
#include "wingate/user_database.h"
#ifdef _WIN32
#include "wingate/registry_user_database.h"
#endif

namespace tarnwell {
namespace {

constexpr std::string_view kDefaultFileName = "registry.reg";

#ifdef _WIN32

// The variable as Windows-1251, read through the wide call so that a Cyrillic path survives whatever the
// ANSI code page is. nullopt-like: false when unset.
bool ReadVariable(std::string& value) {
    const wchar_t* wide = _wgetenv(L"TARNWELL_REGISTRY");
    if (wide == nullptr) return false;
    value = Utf16ToCp1251(reinterpret_cast<const char16_t*>(wide));
    return true;
}

std::string Absolute(const std::string& path) {
    const std::wstring wide = Cp1251ToWide(path);
    const wchar_t* in = wide.c_str();
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetFullPathNameW(in, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (n == 0) return path;
        if (n < buffer.size()) return WideToCp1251({buffer.data(), n});
        buffer.resize(n + 1);
    }
}

#else

bool ReadVariable(std::string& value) {
    const char* text = std::getenv("TARNWELL_REGISTRY");
    if (text == nullptr) return false;
    value = text;
    return true;
}

std::string Absolute(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return path;
        buffer.resize(buffer.size() * 2);
    }
    return JoinPath(buffer.data(), path);
}

#endif

}  // namespace

UserDatabaseLocation UserDatabaseLocation::FromEnvironment() {
    std::string variable;
    bool set = ReadVariable(variable);
    if (!variable.empty()) return RegFile(Absolute(variable));
#ifdef _WIN32
    if (!set) return Registry();
#else
    (void)set;
#endif
    return RegFile(JoinPath(ProgramFolder(), kDefaultFileName));
}

UserDatabaseLocation UserDatabaseLocation::RegFile(std::string path) {
    return UserDatabaseLocation(false, std::move(path));
}

#ifdef _WIN32
UserDatabaseLocation UserDatabaseLocation::Registry() {
    return UserDatabaseLocation(true, {});
}
#endif

std::unique_ptr<TUserDatabase> UserDatabaseLocation::Open(const UserDatabaseKeys& keys) const {
#ifdef _WIN32
    if (registry_) return std::make_unique<RegistryUserDatabase>(keys);
#endif
    return std::make_unique<RegFileUserDatabase>(path_, keys);
}

}  // namespace tarnwell
