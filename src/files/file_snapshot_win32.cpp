#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>

#include "files/file_snapshot.h"
#include "text/message.h"
#include "text/win32_text.h"

namespace tarnwell {

void FileSnapshot::Open(const std::string& file_name) {
    // Other programs may read the file meanwhile, but none may hold it open for writing, nor open it so
    // while we read: a log that is being written fails to open instead of being read half-written.
    UniqueHandle file(CreateFileW(Cp1251ToWide(file_name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) throw CannotOpen(file_name);
    LARGE_INTEGER size{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        throw CannotOpen(file_name);
    }

    if (static_cast<unsigned long long>(size.QuadPart) > PTRDIFF_MAX) {
        throw Error(FormatMsg("Not enough memory to read file %s", {file_name}));
    }
    const auto wanted = static_cast<std::size_t>(size.QuadPart);
    if (wanted == 0) return;
    char* data = nullptr;
    try {
        data = static_cast<char*>(memory_.Allocate(wanted));
    } catch (const std::bad_alloc&) {
        throw Error(FormatMsg("Not enough memory to read file %s", {file_name}));
    }
    // A file that has shrunk meanwhile gives fewer bytes.
    std::size_t done = 0;
    while (done < wanted) {
        DWORD n = 0;
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(wanted - done, std::size_t{1} << 30));
        if (!ReadFile(file.get(), data + done, piece, &n, nullptr)) throw CannotOpen(file_name);
        if (n == 0) break;
        done += n;
    }
    data_ = data;
    size_ = done;
}

// Bytes read into memory are the process's own.
bool FileSnapshot::Intact() const {
    return true;
}

bool FileSnapshot::SharesFilePages() const {
    return false;
}

}  // namespace tarnwell
