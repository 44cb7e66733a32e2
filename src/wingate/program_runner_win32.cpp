#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <string>
#include <vector>

#include "text/win32_text.h"
#include "wingate/service_restart.h"

namespace tarnwell {
namespace {

// The program path without one pair of enclosing double quotes, as ImagePath values often have them.
std::wstring ProgramPath(const std::string& program) {
    std::wstring path = Cp1251ToWide(program);
    if (path.size() >= 2 && path.front() == L'"' && path.back() == L'"') path = path.substr(1, path.size() - 2);
    return path;
}

}  // namespace

// The system's search for a program: a full path as it stands, a relative one in the program's own folder,
// the system folders, the current folder and PATH; ".exe" is tried when the name has no extension.
bool SystemProgramRunner::CanRun(const std::string& program) {
    std::wstring path = ProgramPath(program);
    if (path.empty()) return false;
    std::vector<wchar_t> found(MAX_PATH + 1);
    for (;;) {
        DWORD n = SearchPathW(nullptr, path.c_str(), L".exe", static_cast<DWORD>(found.size()), found.data(), nullptr);
        if (n == 0) return false;
        if (n < found.size()) break;
        found.resize(n + 1);  // n is the size needed
    }
    DWORD attributes = GetFileAttributesW(found.data());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void SystemProgramRunner::Run(const std::string& program, const std::string& argument) {
    ShellExecuteW(nullptr, L"open", ProgramPath(program).c_str(), Cp1251ToWide(argument).c_str(), nullptr, SW_HIDE);
}

}  // namespace tarnwell
