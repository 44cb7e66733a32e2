#include <sys/types.h>

#include "files/stdio_file.h"

namespace tarnwell {

// Paths are the file system's own bytes here.
std::FILE* OpenFileForReading(const std::string& path) {
    return std::fopen(path.c_str(), "rbe");
}

std::int64_t SeekFile(std::FILE* file, std::int64_t offset, int whence) {
    if (fseeko(file, static_cast<off_t>(offset), whence) != 0) return -1;
    return ftello(file);
}

}  // namespace tarnwell
