#include <windows.h>

#include <string>

#include "files/file_open_error.h"
#include "files/file_snapshot.h"
#include "files/read_buffer.h"
#include "files/win32_read.h"
#include "text/message.h"
#include "text/win32_text.h"

namespace tarnwell {

// The file's bytes read into a string of the process's own.
struct FileSnapshot::Storage {
    std::string bytes;
};

FileSnapshot::FileSnapshot(std::unique_ptr<Storage> storage, const char* data, std::size_t size)
    : storage_(std::move(storage)), data_(data), size_(size) {}

FileSnapshot::~FileSnapshot() = default;

std::shared_ptr<const FileSnapshot> FileSnapshot::Take(const std::string& file_name) {
    auto cannot_open = [&] { return EFileOpenError(FormatMsg("Cannot open file %s", {file_name})); };
    if (file_name.empty() || file_name.find('\0') != std::string::npos) throw cannot_open();
    // Other programs may read the file meanwhile, but none may hold it open for writing, nor open it so
    // while we read: a log that is being written fails to open instead of being read half-written.
    UniqueHandle file(CreateFileW(Cp1251ToWide(file_name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) throw cannot_open();
    LARGE_INTEGER size{};
    if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) {
        throw cannot_open();
    }

    auto storage = std::make_unique<Storage>();
    storage->bytes = ReserveReadBuffer(static_cast<unsigned long long>(size.QuadPart), file_name);
    storage->bytes.resize(static_cast<std::size_t>(size.QuadPart));
    if (!ReadToSize(file.get(), storage->bytes)) throw cannot_open();
    const std::string& bytes = storage->bytes;
    return std::shared_ptr<const FileSnapshot>(new FileSnapshot(std::move(storage), bytes.data(), bytes.size()));
}

bool FileSnapshot::Intact() const {
    return true;
}

bool FileSnapshot::SharesFilePages() const {
    return false;
}

}  // namespace tarnwell
