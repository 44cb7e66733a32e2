#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "text/error.h"
#include "text/program_folder.h"

namespace tarnwell {
namespace {

std::string ExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) throw Error("Cannot find the program's own path");
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

// Whether this process may create files in the folder, judged with its effective ids.
bool CanWriteIn(const std::string& folder) {
    return faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

// Creates the folder and the missing folders above it, private to the user as configuration folders are
// meant to be. A failure is left for the first read or write there to report with the file's name.
void CreateFolders(const std::string& folder) {
    struct stat info {};
    if (folder.empty() || stat(folder.c_str(), &info) == 0) return;
    std::string parent = ParentFolder(folder);
    if (parent != folder) CreateFolders(parent);
    mkdir(folder.c_str(), 0700);
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string ProgramFolder() {
    std::optional<std::string> home = EnvironmentVariable("TARNWELL_HOME");
    if (home && !home->empty()) return WithoutTrailingSeparators(AbsolutePath(*home));

    std::string folder = ExecutableFolder();
    if (CanWriteIn(folder) && !IsSystemProgramFolder(folder)) return folder;
    std::string config =
        UserConfigFolder(EnvironmentVariable("XDG_CONFIG_HOME").value_or(""), EnvironmentVariable("HOME").value_or(""));
    // Without a home folder there is nowhere better: the executable's folder it stays.
    if (config.empty()) return folder;
    CreateFolders(config);
    return config;
}

std::string ExecutableFolder() {
    return ParentFolder(ExecutablePath());
}

std::optional<std::string> EnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() > (1u << 20)) return path;
        buffer.resize(buffer.size() * 2);
    }
    return JoinPath(buffer.data(), path);
}

}  // namespace tarnwell
