#pragma once

// For the POSIX sources (*_posix.cpp): a file descriptor closed when it goes out of scope.

#ifndef _WIN32

#include <unistd.h>

namespace tarnwell {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Hands the descriptor over to another owner, who closes it.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

}  // namespace tarnwell

#endif  // _WIN32
