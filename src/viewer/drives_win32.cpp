#include <windows.h>

#include <string>

#include "text/cp1251.h"
#include "viewer/drives.h"

namespace tarnwell {

std::vector<std::string> ListDrives() {
    // "C:\", NUL, "D:\", NUL, ..., NUL. At most 26 drives of 4 characters each.
    wchar_t buffer[26 * 4 + 2] = {};
    DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer) - 1), buffer);
    std::vector<std::string> drives;
    if (length == 0 || length >= std::size(buffer)) return drives;
    for (const wchar_t* p = buffer; *p != L'\0'; p += wcslen(p) + 1) {
        std::u16string root(reinterpret_cast<const char16_t*>(p), wcslen(p));
        drives.push_back(Utf16ToCp1251(root));
    }
    return drives;
}

}  // namespace tarnwell
