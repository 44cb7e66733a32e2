#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>

#include "files/bulk_memory.h"
#include "files/file_descriptor.h"
#include "files/file_open_error.h"
#include "files/file_snapshot.h"
#include "files/guarded_mapping_posix.h"
#include "text/message.h"

namespace tarnwell {
namespace {

// Linux moves at most about 2 GB per read call; smaller pieces keep every call well inside that.
constexpr std::size_t kReadPiece = std::size_t{1} << 30;

}  // namespace

// Either the guarded mapping of the file, or a copy read into the process's memory, or nothing for an
// empty file.
struct FileSnapshot::Storage {
    std::unique_ptr<GuardedMapping> mapping;
    BulkMemory memory;
};

FileSnapshot::FileSnapshot(std::unique_ptr<Storage> storage, const char* data, std::size_t size)
    : storage_(std::move(storage)), data_(data), size_(size) {}

FileSnapshot::~FileSnapshot() = default;

std::shared_ptr<const FileSnapshot> FileSnapshot::Take(const std::string& file_name) {
    auto cannot_open = [&] { return EFileOpenError(FormatMsg("Cannot open file %s", {file_name})); };
    // A name with a NUL in it would open a different, shorter name.
    if (file_name.empty() || file_name.find('\0') != std::string::npos) throw cannot_open();
    // O_NONBLOCK keeps a pipe from blocking the open until a writer comes; such files are refused below.
    FileDescriptor file(open(file_name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.get() < 0) throw cannot_open();
    struct stat info {};
    if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) throw cannot_open();
    if (static_cast<unsigned long long>(info.st_size) > PTRDIFF_MAX) {
        throw Error(FormatMsg("Not enough memory to read file %s", {file_name}));
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    auto storage = std::make_unique<Storage>();
    if (size == 0) return std::shared_ptr<const FileSnapshot>(new FileSnapshot(std::move(storage), nullptr, 0));

    if (GuardedMapping::TakeReadLease(file.get())) {
        storage->mapping = GuardedMapping::Map(file.get(), size, true);
        if (storage->mapping) {
            file.release();
            const char* data = storage->mapping->data();
            return std::shared_ptr<const FileSnapshot>(new FileSnapshot(std::move(storage), data, size));
        }
        fcntl(file.get(), F_SETLEASE, F_UNLCK);
    }

    char* data = nullptr;
    try {
        data = static_cast<char*>(storage->memory.Allocate(size));
    } catch (const std::bad_alloc&) {
        throw Error(FormatMsg("Not enough memory to read file %s", {file_name}));
    }
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = read(file.get(), data + done, std::min(size - done, kReadPiece));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw cannot_open();
        }
        if (n == 0) break;  // the file was shortened while we read it
        done += static_cast<std::size_t>(n);
    }
    return std::shared_ptr<const FileSnapshot>(new FileSnapshot(std::move(storage), data, done));
}

bool FileSnapshot::Intact() const {
    return !storage_->mapping || storage_->mapping->Intact();
}

bool FileSnapshot::SharesFilePages() const {
    return storage_->mapping && storage_->mapping->SharesFilePages();
}

}  // namespace tarnwell
