#include <fcntl.h>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "files/file_contents.h"
#include "files/file_descriptor.h"

namespace tarnwell {
namespace {

EFileAccessError IoError(const std::string& path, const char* what, int error) {
    return EFileAccessError(path + ": " + what + ": " + std::strerror(error));
}

EFileAccessError TooLarge(const std::string& path, std::size_t limit) {
    return EFileAccessError(path + ": file too large (more than " + std::to_string(limit) + " bytes)");
}

}  // namespace

bool ReadFileIfExists(const std::string& path, std::size_t limit, std::string& bytes) {
    // A name with a NUL byte in it would open a different, shorter name.
    if (path.find('\0') != std::string::npos) throw IoError(path, "cannot open", EINVAL);
    // Non-blocking, so that a named pipe in the file's place is refused below instead of waiting for a
    // writer for ever; reads of a regular file are not affected by the flag.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT) return false;
        throw IoError(path, "cannot open", errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw IoError(path, "cannot read", errno);
    if (!S_ISREG(st.st_mode)) throw EFileAccessError(path + ": not a regular file");
    if (static_cast<unsigned long long>(st.st_size) > limit) throw TooLarge(path, limit);
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::vector<char> chunk(1 << 16);
    for (;;) {
        ssize_t n = ::read(fd.get(), chunk.data(), chunk.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            throw IoError(path, "cannot read", errno);
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > limit) throw TooLarge(path, limit);
        bytes.append(chunk.data(), static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace tarnwell
