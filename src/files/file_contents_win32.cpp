#include <windows.h>

#include <string>

#include "files/file_contents.h"
#include "files/win32_read.h"
#include "text/win32_text.h"

namespace tarnwell {
namespace {

EFileAccessError IoError(const std::string& path, const char* what) {
    return EFileAccessError(path + ": " + what + " (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace

bool ReadFileIfExists(const std::string& path, std::size_t limit, std::string& bytes) {
    // A name with a NUL byte in it would open a different, shorter name.
    if (path.find('\0') != std::string::npos) {
        SetLastError(ERROR_INVALID_NAME);
        throw IoError(path, "cannot open");
    }
    UniqueHandle file(CreateFileW(Cp1251ToWide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
        throw IoError(path, "cannot open");
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw IoError(path, "cannot read");
    if (static_cast<unsigned long long>(size.QuadPart) > limit) {
        throw EFileAccessError(path + ": file too large (more than " + std::to_string(limit) + " bytes)");
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    if (!ReadToSize(file.get(), bytes)) throw IoError(path, "cannot read");
    return true;
}

}  // namespace tarnwell
