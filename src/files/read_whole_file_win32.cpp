#include "files/read_whole_file.h"

#include <windows.h>

#include <string>

#include "files/file_open_error.h"
#include "files/read_buffer.h"
#include "files/win32_read.h"
#include "text/message.h"
#include "text/win32_text.h"

namespace tarnwell {

std::string ReadWholeFile(const std::string& file_name) {
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

    std::string text = ReserveReadBuffer(static_cast<unsigned long long>(size.QuadPart), file_name);
    text.resize(static_cast<std::size_t>(size.QuadPart));
    if (!ReadToSize(file.get(), text)) throw cannot_open();
    return text;
}

}  // namespace tarnwell
