#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "files/output_file.h"
#include "files/output_file_platform.h"

namespace tarnwell {
namespace {

using Step = EOutputFile::Step;

// How long a save waits for another process's save of the same file before it gives up.
constexpr auto kBusyWait = std::chrono::seconds(10);
constexpr auto kBusyPoll = std::chrono::milliseconds(20);
// Rounds of removing something that stands at the temporary name, before giving up on it.
constexpr int kMaxRemovals = 8;

EOutputFile Failure(Step step, int error) {
    return EOutputFile(step, std::strerror(error));
}

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

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the open file is still the one at `path`: another save may have renamed it away or removed it
// between the open and the lock.
bool StillAt(int fd, const std::string& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && SameFile(opened, named);
}

// What stands at the temporary name when our exclusive create finds it taken.
enum class Occupant { kGone, kBusy, kRemoved, kStuck };

// A temporary file that no process holds locked is what a crash left behind: it is removed. One that is
// locked belongs to a save in progress and is left alone. Anything that is not a regular file is removed
// too, without being opened. The lock is held while removing, so a save that has just locked the file
// cannot lose it unnoticed (it checks afterwards that its file still stands at the name).
Occupant Clear(const std::string& temp) {
    struct stat st {};
    if (::lstat(temp.c_str(), &st) != 0) return errno == ENOENT ? Occupant::kGone : Occupant::kStuck;
    if (S_ISREG(st.st_mode)) {
        int fd = ::open(temp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
                ::close(fd);
                return Occupant::kBusy;
            }
            bool ours = StillAt(fd, temp);
            bool removed = ours && ::unlink(temp.c_str()) == 0;
            ::close(fd);
            if (!ours) return Occupant::kGone;  // renamed or replaced meanwhile: look again
            return removed ? Occupant::kRemoved : Occupant::kStuck;
        }
        // Another account's file that we may not read: removing it is all we can do.
    }
    return ::unlink(temp.c_str()) == 0 ? Occupant::kRemoved : Occupant::kStuck;
}

// Creates the temporary file, new and locked. An exclusive create never follows a link that someone put
// at the name.
int CreateTemporary(const std::string& temp) {
    const auto deadline = std::chrono::steady_clock::now() + kBusyWait;
    int removals = 0;
    for (;;) {
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // A file system without locks still gets its file; only the protection against a second
            // save at the same moment is lost.
            bool taken = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
            if (!taken && StillAt(fd, temp)) return fd;
            ::close(fd);  // another save cleared it away between our create and our lock: start again
        } else if (errno != EEXIST) {
            throw Failure(Step::kCreate, errno);
        } else {
            switch (Clear(temp)) {
                case Occupant::kGone:
                    break;
                case Occupant::kRemoved:
                    if (++removals > kMaxRemovals) throw Failure(Step::kCreate, EEXIST);
                    break;
                case Occupant::kStuck:
                    throw Failure(Step::kCreate, EEXIST);
                case Occupant::kBusy:
                    std::this_thread::sleep_for(kBusyPoll);
                    break;
            }
        }
        if (std::chrono::steady_clock::now() > deadline) throw Failure(Step::kCreate, EBUSY);
    }
}

}  // namespace

namespace output_file_platform {

void WriteAll(std::intptr_t file, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(static_cast<int>(file), data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Failure(Step::kWrite, errno);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace output_file_platform

FileReplacement::FileReplacement(const std::string& path, Durability durability) : durability_(durability), file_(-1) {
    // A name with a NUL byte in it would silently name another file.
    if (path.empty() || path.find('\0') != std::string::npos) throw Failure(Step::kCreate, ENOENT);
    target_ = ResolveLink(path);
    // Replacing by rename would ignore the target's permissions and turn a device or a pipe into a plain
    // file: refuse what could not be opened for writing as a regular file.
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) throw EOutputFile(Step::kReplace, "not a regular file");
        if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) throw Failure(Step::kReplace, errno);
    }
    temp_ = target_ + std::string(kTemporarySuffix);
    file_ = CreateTemporary(temp_);
    if (S_ISREG(st.st_mode)) {
        // The new file keeps the old one's permissions (a new file gets the usual ones from the umask) and,
        // where the system lets us, its owner.
        ::fchmod(static_cast<int>(file_), st.st_mode & 07777);
        if (::fchown(static_cast<int>(file_), st.st_uid, st.st_gid) != 0) {
            // Only the administrator may give a file away; everyone else's replacement is his own.
        }
    }
}

FileReplacement::~FileReplacement() {
    if (temp_.empty()) return;
    // Removed while still locked, so no other save can take it over half-written.
    ::unlink(temp_.c_str());
    if (file_ >= 0) ::close(static_cast<int>(file_));
}

void FileReplacement::Commit() {
    FlushBuffer();
    const int fd = static_cast<int>(file_);
    const bool durable = durability_ == Durability::kDurable;
    if (durable && ::fsync(fd) != 0) throw Failure(Step::kWrite, errno);
    // Closing reports what the system could only find out now (a file system over the network does). A
    // second descriptor keeps the lock until the rename is done.
    file_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (::close(fd) != 0 && errno != EINTR) throw Failure(Step::kWrite, errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0) throw Failure(Step::kReplace, errno);
    temp_.clear();
    if (file_ >= 0) ::close(static_cast<int>(file_));
    file_ = -1;
    if (durable) {
        // Make the rename itself durable. The new content is in place either way, so a failure here is
        // not worth reporting.
        int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
    }
}

NewFile::NewFile(const std::string& path) : file_(-1) {
    if (path.empty() || path.find('\0') != std::string::npos) throw Failure(Step::kCreate, ENOENT);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) throw Failure(Step::kCreate, errno);
    file_ = fd;
}

NewFile::~NewFile() {
    if (file_ >= 0) ::close(static_cast<int>(file_));
}

void NewFile::Close() {
    const int fd = static_cast<int>(file_);
    file_ = -1;
    if (::close(fd) != 0 && errno != EINTR) throw Failure(Step::kWrite, errno);
}

void RemoveFile(const std::string& path) {
    if (path.find('\0') == std::string::npos) ::unlink(path.c_str());
}

}  // namespace tarnwell
