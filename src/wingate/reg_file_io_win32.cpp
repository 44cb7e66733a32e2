#include <windows.h>

#include <algorithm>
#include <string>

#include "text/win32_text.h"
#include "wingate/reg_file_io.h"
#include "wingate/user_database.h"

namespace tarnwell {
namespace {

ERegFileError IoError(const std::string& path, const char* what) {
    return ERegFileError(path + ": " + what + " (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace

bool ReadRegFile(const std::string& path, std::size_t limit, std::string& bytes) {
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
        throw ERegFileError(path + ": file too large (more than " + std::to_string(limit) + " bytes)");
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) throw IoError(path, "cannot read");
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return true;
}

}  // namespace tarnwell
