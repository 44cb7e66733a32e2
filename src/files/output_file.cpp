#include "files/output_file.h"

#include "files/output_file_platform.h"

namespace tarnwell {
namespace {

// Small pieces (the workbook writer hands over a record block at a time) are gathered into writes of
// this size; larger ones go straight through.
constexpr std::size_t kBufferSize = 1 << 16;

}  // namespace

void FileReplacement::Write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferSize) FlushBuffer();
    if (bytes.size() >= kBufferSize) {
        output_file_platform::WriteAll(file_, bytes.data(), bytes.size());
    } else {
        buffer_.append(bytes);
    }
}

void FileReplacement::FlushBuffer() {
    if (buffer_.empty()) return;
    output_file_platform::WriteAll(file_, buffer_.data(), buffer_.size());
    buffer_.clear();
}

void NewFile::Write(std::string_view bytes) {
    output_file_platform::WriteAll(file_, bytes.data(), bytes.size());
}

void WriteNewFile(const std::string& path, std::string_view bytes) {
    NewFile file(path);
    file.Write(bytes);
    file.Close();
}

void ReplaceFile(const std::string& path, std::string_view bytes, Durability durability) {
    FileReplacement file(path, durability);
    file.Write(bytes);
    file.Commit();
}

}  // namespace tarnwell
