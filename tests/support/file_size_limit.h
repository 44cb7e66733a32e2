#pragma once

// A write failure on demand, for any user: while a FileSizeLimit lives, the process and the programs it
// starts may not make a file larger than the given size, so the write that would pass it fails with
// EFBIG ("File too large") the way a full disk fails one with ENOSPC. POSIX only.

#ifndef _WIN32

#include <signal.h>
#include <sys/resource.h>

namespace tarnwell::testing_support {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        // Without this the signal that goes with the failed write would end the process.
        old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::signal(SIGXFSZ, old_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    sighandler_t old_handler_;
};

}  // namespace tarnwell::testing_support

#endif
