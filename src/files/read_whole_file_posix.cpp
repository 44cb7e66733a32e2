#include "files/read_whole_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "files/file_descriptor.h"
#include "files/file_open_error.h"
#include "files/read_buffer.h"
#include "text/message.h"

namespace tarnwell {
namespace {

// Linux moves at most about 2 GB per read call; smaller pieces keep every call well inside that.
constexpr std::size_t kReadPiece = std::size_t{1} << 30;

// Gets the buffer's memory from the system in one call instead of a page fault per 4 KB page: a
// gigabyte is a quarter of a million faults, which on a virtual machine cost more than reading the file.
// A hint only; before Linux 5.14 the pages are faulted in as the buffer is filled. Huge pages are not
// asked for: on a machine whose memory is fragmented, getting them stalled the load for seconds.
void PrepareBuffer(char* buffer, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    constexpr std::size_t kPage = std::size_t{4} << 10;
    const auto address = reinterpret_cast<std::uintptr_t>(buffer);
    const std::uintptr_t first = (address + kPage - 1) & ~(kPage - 1);
    const std::uintptr_t last = (address + size) & ~(kPage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)buffer;
    (void)size;
#endif
}

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

    std::string text = ReserveReadBuffer(static_cast<unsigned long long>(info.st_size), file_name);
    PrepareBuffer(text.data(), text.capacity());
    text.resize(static_cast<std::size_t>(info.st_size));
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
