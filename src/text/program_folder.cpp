#include "text/program_folder.h"

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "text/win32_text.h"
#else
#include <unistd.h>
#endif

#include "text/error.h"

namespace tarnwell {
namespace {

std::string ExecutablePath() {
#ifdef _WIN32
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) throw Error("Cannot find the program's own path");
        if (n < buffer.size()) {
            return WideToCp1251({buffer.data(), n});
        }
        buffer.resize(buffer.size() * 2);
    }
#else
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) throw Error("Cannot find the program's own path");
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
#endif
}

}  // namespace

std::string ProgramFolder() {
    std::string path = ExecutablePath();
    std::size_t end = path.size();
    while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
    // Keep the root's own separator ("/tarnwell" lives in "/").
    if (end > 1) --end;
    path.resize(end);
    return path;
}

bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && !IsPathSeparator(path.back())) path.push_back(kPathSeparator);
    path.append(name);
    return path;
}

}  // namespace tarnwell
