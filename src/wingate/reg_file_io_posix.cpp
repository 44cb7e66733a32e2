#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "wingate/reg_file_io.h"
#include "wingate/user_database.h"

namespace tarnwell {
namespace {

ERegFileError IoError(const std::string& path, const char* what, int error) {
    return ERegFileError(path + ": " + what + ": " + std::strerror(error));
}

// Closes the descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

bool ReadRegFile(const std::string& path, std::size_t limit, std::string& bytes) {
    // Non-blocking, so that a named pipe in the file's place is refused below instead of waiting for a
    // writer for ever; reads of a regular file are not affected by the flag.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT) return false;
        throw IoError(path, "cannot open", errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw IoError(path, "cannot read", errno);
    if (!S_ISREG(st.st_mode)) throw ERegFileError(path + ": not a regular file");
    if (static_cast<unsigned long long>(st.st_size) > limit) {
        throw ERegFileError(path + ": file too large (more than " + std::to_string(limit) + " bytes)");
    }
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
        if (bytes.size() + static_cast<std::size_t>(n) > limit) {
            throw ERegFileError(path + ": file too large (more than " + std::to_string(limit) + " bytes)");
        }
        bytes.append(chunk.data(), static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace tarnwell
