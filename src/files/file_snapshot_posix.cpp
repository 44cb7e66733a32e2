#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>

#include "files/bulk_memory.h"
#include "files/file_descriptor.h"
#include "files/file_snapshot.h"
#include "files/guarded_mapping_posix.h"
#include "text/message.h"

namespace tarnwell {
namespace {

// Linux moves at most about 2 GB per read call; smaller pieces keep every call well inside that.
constexpr std::size_t kReadPiece = std::size_t{1} << 30;

}  // namespace

void FileSnapshot::Open(const std::string& file_name) {
    // O_NONBLOCK keeps a pipe from blocking the open until a writer comes; such files are refused below.
    FileDescriptor file(open(file_name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) throw CannotOpen(file_name);
    struct stat info {};
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) throw CannotOpen(file_name);
    if (static_cast<unsigned long long>(info.st_size) > PTRDIFF_MAX) {
        throw Error(FormatMsg("Not enough memory to read file %s", {file_name}));
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    if (size == 0) return;

    if (GuardedMapping::TakeReadLease(file.get())) {
        mapping_ = GuardedMapping::Map(file.get(), size, true);
        if (mapping_) {
            file.release();
            data_ = mapping_->data();
            size_ = size;
            return;
        }
        fcntl(file.get(), F_SETLEASE, F_UNLCK);
    }

    char* data = nullptr;
    try {
        data = static_cast<char*>(memory_.Allocate(size));
    } catch (const std::bad_alloc&) {
        throw Error(FormatMsg("Not enough memory to read file %s", {file_name}));
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = read(file.get(), data + done, std::min(size - done, kReadPiece));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CannotOpen(file_name);
        }
        if (n == 0) break;  // the file was shortened while we read it
        done += static_cast<std::size_t>(n);
    }
    data_ = data;
    size_ = done;
}

bool FileSnapshot::Intact() const {
    return !mapping_ || mapping_->Intact();
}

bool FileSnapshot::SharesFilePages() const {
    return mapping_ && mapping_->SharesFilePages();
}

}  // namespace tarnwell
