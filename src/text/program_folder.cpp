#include "text/program_folder.h"

#include <array>
#include <string>

namespace tarnwell {

std::string ParentFolder(std::string_view path) {
    std::size_t end = path.size();
    while (end > 0 && !IsPathSeparator(path[end - 1])) --end;
    // Keep the root's own separator ("/tarnwell" lives in "/").
    if (end > 1) --end;
    return std::string(path.substr(0, end));
}

std::string UserConfigFolder(std::string_view xdg_config_home, std::string_view home) {
    auto absolute = [](std::string_view path) { return !path.empty() && path.front() == '/'; };
    if (absolute(xdg_config_home)) return JoinPath(xdg_config_home, "tarnwell");
    if (absolute(home)) return JoinPath(JoinPath(home, ".config"), "tarnwell");
    return {};
}

bool IsSystemProgramFolder(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.remove_suffix(1);
    static constexpr std::array<std::string_view, 6> kFolders = {"/bin",      "/sbin",          "/usr/bin",
                                                                 "/usr/sbin", "/usr/local/bin", "/usr/local/sbin"};
    for (std::string_view system : kFolders) {
        if (folder == system) return true;
    }
    return false;
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

std::string PathInFolder(std::string_view folder, const std::string& path) {
    if (path.empty() || IsPathSeparator(path.front())) return path;
#ifdef _WIN32
    // "C:report.htm" names a drive of its own: not the folder's to take.
    if (path.size() >= 2 && path[1] == ':') return path;
#endif
    return JoinPath(folder, path);
}

}  // namespace tarnwell
