#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "text/error.h"
#include "text/program_folder.h"
#include "text/win32_text.h"

namespace tarnwell {
namespace {

std::string ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) throw Error("Cannot find the program's own path");
        if (n < buffer.size()) return WideToCp1251({buffer.data(), n});
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

// A Windows user keeps the program in a folder of his own, which he can write: the executable's folder
// is the program's folder unless TARNWELL_HOME names another.
std::string ProgramFolder() {
    std::optional<std::string> home = EnvironmentVariable("TARNWELL_HOME");
    if (home && !home->empty()) {
        std::string folder = AbsolutePath(*home);
        while (folder.size() > 3 && IsPathSeparator(folder.back())) folder.pop_back();
        return folder;
    }
    return ExecutableFolder();
}

std::string ExecutableFolder() {
    return ParentFolder(ExecutablePath());
}

std::optional<std::string> EnvironmentVariable(const char* name) {
    std::wstring wide_name(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = _wgetenv(wide_name.c_str());
    if (value == nullptr) return std::nullopt;
    return WideToCp1251(value);
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    const std::wstring wide = Cp1251ToWide(path);
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (n == 0) return path;
        if (n < buffer.size()) return WideToCp1251({buffer.data(), n});
        buffer.resize(n + 1);
    }
}

}  // namespace tarnwell
