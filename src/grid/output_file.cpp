#include "grid/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include "text/cp1251.h"
#endif

#include "grid/table_grid_error.h"

namespace tarnwell {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenForWriting(const std::string& file_name) {
    // A name with a NUL byte in it would silently name another file.
    if (file_name.empty() || file_name.find('\0') != std::string::npos) return nullptr;
#ifdef _WIN32
    std::u16string wide = Cp1251ToUtf16(file_name);
    return FilePtr(_wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"wb"));
#else
    return FilePtr(std::fopen(file_name.c_str(), "wb"));
#endif
}

[[noreturn]] void WriteFailed(const std::string& file_name, int error) {
    throw ETableGridError("Cannot write file " + file_name + ": " + std::strerror(error));
}

}  // namespace

void WriteNewFile(const std::string& file_name, std::string_view bytes) {
    FilePtr file = OpenForWriting(file_name);
    if (!file) throw ETableGridError("Cannot Create file " + file_name);
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
        WriteFailed(file_name, errno);
    }
    // Closing flushes the last buffer, which is where a full disk often shows.
    if (std::fclose(file.release()) != 0) WriteFailed(file_name, errno);
}

}  // namespace tarnwell
