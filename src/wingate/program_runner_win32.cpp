#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <string>

#include "text/win32_text.h"
#include "wingate/service_restart.h"

namespace tarnwell {

void SystemProgramRunner::Run(const std::string& program, const std::string& argument) {
    ShellExecuteW(nullptr, L"open", Cp1251ToWide(program).c_str(), Cp1251ToWide(argument).c_str(), nullptr, SW_HIDE);
}

}  // namespace tarnwell
