#include <sys/stat.h>

#include <cerrno>

#include "settings/no_file_there.h"

namespace tarnwell {

bool NoFileThere(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
    return !S_ISREG(st.st_mode);
}

}  // namespace tarnwell
