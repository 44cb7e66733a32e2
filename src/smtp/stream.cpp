#include "smtp/stream.h"

#include <algorithm>
#include <cstring>

#include "files/stdio_file.h"

namespace tarnwell {
namespace {

std::string InvalidOrigin(int origin) {
    return "Invalid seek origin = " + std::to_string(origin);
}

}  // namespace

std::int64_t TStream::Size() {
    std::int64_t position = Seek(0, soFromCurrent);
    std::int64_t size = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return size;
}

void TStream::WriteBuffer(std::string_view bytes) {
    if (Write(bytes.data(), bytes.size()) != bytes.size()) throw EStreamError("Stream write error");
}

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= data_.size()) return 0;
    std::size_t n = std::min(count, data_.size() - position_);
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    if (position_ > data_.size()) data_.resize(position_);
    std::size_t overlap = std::min(count, data_.size() - position_);
    data_.replace(position_, overlap, static_cast<const char*>(buffer), count);
    position_ += count;
    return count;
}

std::int64_t MemoryStream::Seek(std::int64_t offset, int origin) {
    std::int64_t base = 0;
    switch (origin) {
        case soFromBeginning:
            base = 0;
            break;
        case soFromCurrent:
            base = static_cast<std::int64_t>(position_);
            break;
        case soFromEnd:
            base = static_cast<std::int64_t>(data_.size());
            break;
        default:
            throw EStreamError(InvalidOrigin(origin));
    }
    position_ = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
    return static_cast<std::int64_t>(position_);
}

void MemoryStream::Clear() {
    data_.clear();
    position_ = 0;
}

FileStream::FileStream(const std::string& path) : file_(OpenFileForReading(path)) {
    if (!file_) throw EStreamError("Cannot open file " + path);
}

std::size_t FileStream::Read(void* buffer, std::size_t count) {
    std::size_t n = std::fread(buffer, 1, count, file_.get());
    if (n < count && std::ferror(file_.get())) throw EStreamError("Stream read error");
    return n;
}

std::size_t FileStream::Write(const void*, std::size_t) {
    return 0;
}

std::int64_t FileStream::Seek(std::int64_t offset, int origin) {
    int whence = origin == soFromBeginning ? SEEK_SET
                 : origin == soFromCurrent ? SEEK_CUR
                 : origin == soFromEnd     ? SEEK_END
                                           : -1;
    if (whence < 0) throw EStreamError(InvalidOrigin(origin));
    std::int64_t position = SeekFile(file_.get(), offset, whence);
    if (position < 0) throw EStreamError("Seek error");
    return position;
}

}  // namespace tarnwell
