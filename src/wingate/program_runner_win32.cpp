#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <string>

#include "text/cp1251.h"
#include "wingate/service_restart.h"

namespace tarnwell {

void SystemProgramRunner::Run(const std::string& program, const std::string& argument) {
    std::u16string file = Cp1251ToUtf16(program);
    std::u16string parameters = Cp1251ToUtf16(argument);
    ShellExecuteW(nullptr, L"open", reinterpret_cast<const wchar_t*>(file.c_str()),
                  reinterpret_cast<const wchar_t*>(parameters.c_str()), nullptr, SW_HIDE);
}

}  // namespace tarnwell
