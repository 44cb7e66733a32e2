#include <windows.h>
#include <wincrypt.h>

#include <string>

#include "settings/password_store.h"
#include "text/error.h"

namespace tarnwell {
namespace {

constexpr std::string_view kMark = "dpapi:";

// A protected password is a few hundred bytes; a value far beyond that is not one of ours.
constexpr std::size_t kMaxStoredBytes = 64 * 1024;

Error CannotOpen() {
    return Error("The mail password in the settings cannot be read by this user on this computer; enter it again");
}

}  // namespace

std::string StoredPassword(std::string_view password) {
    if (password.empty()) return {};
    DATA_BLOB in{static_cast<DWORD>(password.size()), reinterpret_cast<BYTE*>(const_cast<char*>(password.data()))};
    DATA_BLOB out{};
    if (!CryptProtectData(&in, L"Tarnwell mail password", nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          &out)) {
        throw Error("The mail password cannot be protected for saving (error " + std::to_string(GetLastError()) +
                    ")");
    }
    DWORD size = 0;
    std::string text;
    if (CryptBinaryToStringA(out.pbData, out.cbData, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, nullptr, &size)) {
        text.resize(size);
        if (!CryptBinaryToStringA(out.pbData, out.cbData, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, text.data(),
                                  &size))
            text.clear();
        text.resize(size);
    }
    SecureZeroMemory(out.pbData, out.cbData);
    LocalFree(out.pbData);
    if (text.empty()) throw Error("The mail password cannot be protected for saving");
    return std::string(kMark) + text;
}

std::string PasswordFromStore(std::string_view stored) {
    if (stored.rfind(kMark, 0) != 0) return std::string(stored);
    const std::string base64(stored.substr(kMark.size()));
    if (base64.size() > kMaxStoredBytes) throw CannotOpen();
    DWORD size = 0;
    if (!CryptStringToBinaryA(base64.c_str(), static_cast<DWORD>(base64.size()), CRYPT_STRING_BASE64, nullptr, &size,
                              nullptr, nullptr))
        throw CannotOpen();
    std::string bytes(size, '\0');
    if (!CryptStringToBinaryA(base64.c_str(), static_cast<DWORD>(base64.size()), CRYPT_STRING_BASE64,
                              reinterpret_cast<BYTE*>(bytes.data()), &size, nullptr, nullptr))
        throw CannotOpen();
    DATA_BLOB in{size, reinterpret_cast<BYTE*>(bytes.data())};
    DATA_BLOB out{};
    if (!CryptUnprotectData(&in, nullptr, nullptr, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out))
        throw CannotOpen();
    std::string password(reinterpret_cast<const char*>(out.pbData), out.cbData);
    SecureZeroMemory(out.pbData, out.cbData);
    LocalFree(out.pbData);
    return password;
}

bool PasswordNeedsOwnerOnlyFile() {
    return false;
}

}  // namespace tarnwell
