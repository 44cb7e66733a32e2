#include <windows.h>

#include "settings/no_file_there.h"
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

}  // namespace tarnwell
