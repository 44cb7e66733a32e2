#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
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
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

// The file that a rename must replace: the target of a symbolic link, so the link stays a link.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return path;
    std::string resolved(real);
    std::free(real);
    return resolved;
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

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

void ReplaceRegFile(const std::string& path, std::string_view bytes) {
    std::string target = ResolveLink(path);
    std::string temp = target + ".XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    Descriptor fd(::mkstemp(name.data()));
    if (fd.get() < 0) throw IoError(path, "cannot create a temporary file", errno);
    temp.assign(name.data());

    try {
        // Keep the old file's permissions (a new file gets the usual ones); mkstemp creates the file
        // readable by its owner alone.
        struct stat st {};
        ::fchmod(fd.get(), ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);

        const char* data = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            ssize_t n = ::write(fd.get(), data, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                throw IoError(path, "cannot write", errno);
            }
            data += n;
            left -= static_cast<std::size_t>(n);
        }
        if (::fsync(fd.get()) != 0) throw IoError(path, "cannot write", errno);
        if (::close(fd.release()) != 0) throw IoError(path, "cannot write", errno);
        if (::rename(temp.c_str(), target.c_str()) != 0) throw IoError(path, "cannot replace", errno);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }

    // Make the rename itself durable. The new content is in place either way, so a failure here is not
    // worth reporting.
    Descriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
}

}  // namespace tarnwell
