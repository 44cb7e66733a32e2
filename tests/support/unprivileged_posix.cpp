#include "support/unprivileged.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace tarnwell::testing_support {
namespace {

// How the child ended, as its exit status.
enum ChildStatus : int {
    kPassed = 0,
    kCaseFailed = 1,
    kNoUser = 2,         // it could not become the user
    kCannotWrite = 3,    // it could not write in the folder
    kCaseThrew = 4,
};

// Whether a file can be made, written and removed in the folder by this process.
bool CanWriteIn(const std::filesystem::path& folder) {
    const std::string probe = (folder / "unprivileged-probe").string();
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const bool written = ::write(fd, "x", 1) == 1;
    ::close(fd);
    return ::unlink(probe.c_str()) == 0 && written;
}

[[noreturn]] void RunAsChild(uid_t uid, gid_t gid, const std::filesystem::path& folder,
                             const std::function<void()>& test_case) {
    int status = kPassed;
    if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0 || ::geteuid() == 0) {
        std::fprintf(stderr, "cannot become user %u: %s\n", static_cast<unsigned>(uid), std::strerror(errno));
        status = kNoUser;
    } else if (!CanWriteIn(folder)) {
        std::fprintf(stderr, "user %u cannot write in %s: %s\n", static_cast<unsigned>(uid), folder.c_str(),
                     std::strerror(errno));
        status = kCannotWrite;
    } else {
        try {
            test_case();
            status = ::testing::Test::HasFailure() ? kCaseFailed : kPassed;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "the case threw: %s\n", e.what());
            status = kCaseThrew;
        } catch (...) {
            status = kCaseThrew;
        }
    }
    // Nothing of the parent's may end here: its temporary folders, GoogleTest's report, exit handlers.
    std::fflush(nullptr);
    ::_exit(status);
}

}  // namespace

void RunUnprivileged(const std::filesystem::path& folder, const std::function<void()>& test_case) {
    if (::geteuid() != 0) {
        test_case();
        return;
    }
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
    const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
    ASSERT_EQ(::chown(folder.c_str(), uid, gid), 0) << folder << ": " << std::strerror(errno);
    std::fflush(nullptr);  // what is buffered would be written twice, once by each process
    const pid_t child = ::fork();
    ASSERT_NE(child, -1) << std::strerror(errno);
    if (child == 0) RunAsChild(uid, gid, folder, test_case);
    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(child, &status, 0);
    } while (waited == -1 && errno == EINTR);
    ASSERT_EQ(waited, child) << std::strerror(errno);
    ASSERT_TRUE(WIFEXITED(status)) << "the case as user " << uid << " ended by signal " << WTERMSIG(status);
    switch (WEXITSTATUS(status)) {
        case kPassed:
            break;
        case kCaseFailed:
            ADD_FAILURE() << "the case failed as user " << uid << " (its failures are above)";
            break;
        case kNoUser:
            ADD_FAILURE() << "the child could not become user " << uid;
            break;
        case kCannotWrite:
            ADD_FAILURE() << "user " << uid << " cannot write in " << folder << ", so the case would show nothing";
            break;
        default:
            ADD_FAILURE() << "the case as user " << uid << " ended with status " << WEXITSTATUS(status);
    }
}

}  // namespace tarnwell::testing_support
