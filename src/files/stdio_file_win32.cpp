#include "files/stdio_file.h"

#include "text/win32_text.h"

namespace tarnwell {

// The program's paths are Windows-1251; the wide call opens them whatever the system's code page is.
std::FILE* OpenFileForReading(const std::string& path) {
    return _wfopen(Cp1251ToWide(path).c_str(), L"rb");
}

std::int64_t SeekFile(std::FILE* file, std::int64_t offset, int whence) {
    if (_fseeki64(file, offset, whence) != 0) return -1;
    return _ftelli64(file);
}

}  // namespace tarnwell
