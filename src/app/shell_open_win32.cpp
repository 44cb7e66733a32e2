#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <string>

#include "app/shell_open.h"
#include "text/win32_text.h"

namespace tarnwell {

void ShellOpenDocument(std::string_view target) {
    ShellExecuteW(nullptr, L"open", Cp1251ToWide(target).c_str(), nullptr, nullptr, SW_HIDE);
}

}  // namespace tarnwell
