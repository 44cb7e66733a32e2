#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_status.h"

namespace tarnwell {

bool NoFileThere(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
    return !S_ISREG(st.st_mode);
}

bool IsReadOnlyFile(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0;
}

}  // namespace tarnwell
