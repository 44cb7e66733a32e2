#include <windows.h>

#include "files/file_status.h"
#include "text/win32_text.h"

namespace tarnwell {

bool NoFileThere(const std::string& path) {
    DWORD attributes = GetFileAttributesW(Cp1251ToWide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0;
}

bool IsReadOnlyFile(const std::string& path) {
    DWORD attributes = GetFileAttributesW(Cp1251ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace tarnwell
