#include <windows.h>

#include "settings/read_only.h"
#include "text/cp1251.h"

namespace tarnwell {

bool IsReadOnlyFile(const std::string& path) {
    std::u16string wide = Cp1251ToUtf16(path);
    DWORD attributes = GetFileAttributesW(reinterpret_cast<const wchar_t*>(wide.c_str()));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace tarnwell
