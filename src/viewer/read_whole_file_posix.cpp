#include "viewer/read_whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <stdexcept>

#include "text/message.h"
#include "viewer/file_open_error.h"
#include "viewer/read_buffer.h"

namespace tarnwell {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Linux moves at most about 2 GB per read call; smaller pieces keep every call well inside that.
constexpr std::size_t kReadPiece = std::size_t{1} << 30;

}  // namespace

std::string ReadWholeFile(const std::string& file_name) {
    auto cannot_open = [&] { return EFileOpenError(FormatMsg("Cannot open file %s", {file_name})); };
    // A name with a NUL in it would open a different, shorter name.
    if (file_name.empty() || file_name.find('\0') != std::string::npos) throw cannot_open();
    // O_NONBLOCK keeps a pipe from blocking the open until a writer comes; such files are refused below.
    FileDescriptor file(open(file_name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) throw cannot_open();
    struct stat info {};
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) throw cannot_open();

    std::string text = AllocateReadBuffer(static_cast<unsigned long long>(info.st_size), file_name);
    std::size_t done = 0;
    while (done < text.size()) {
        std::size_t piece = std::min(text.size() - done, kReadPiece);
        ssize_t n = read(file.get(), text.data() + done, piece);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw cannot_open();
        }
        if (n == 0) break;  // the file was shortened while we read it
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    return text;
}

}  // namespace tarnwell
