#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <string>

#include "app/shell_open.h"
#include "text/cp1251.h"

namespace tarnwell {

void ShellOpenDocument(std::string_view target) {
    std::u16string wide = Cp1251ToUtf16(target);
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(wide.c_str()), nullptr, nullptr, SW_HIDE);
}

}  // namespace tarnwell
