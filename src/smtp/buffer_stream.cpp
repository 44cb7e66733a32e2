#include "smtp/buffer_stream.h"

#include <algorithm>
#include <cstring>

namespace tarnwell {

TBufferStream::TBufferStream(TStream& target) : target_(target), buffer_(kBufferSize) {}

TBufferStream::~TBufferStream() {
    try {
        if (mode_ == Mode::Writing) WriteOut();
    } catch (...) {
    }
}

bool TBufferStream::WriteOut() {
    std::size_t wanted = used_;
    std::size_t written = wanted == 0 ? 0 : target_.Write(buffer_.data(), wanted);
    used_ = 0;
    mode_ = Mode::Empty;
    return written == wanted;
}

void TBufferStream::DropReadAhead() {
    if (used_ > next_) target_.Seek(-static_cast<std::int64_t>(used_ - next_), soFromCurrent);
    used_ = next_ = 0;
    mode_ = Mode::Empty;
}

std::size_t TBufferStream::Write(const void* buffer, std::size_t count) {
    if (mode_ == Mode::Reading) DropReadAhead();
    const char* bytes = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        mode_ = Mode::Writing;
        std::size_t n = std::min(count - done, kBufferSize - used_);
        std::memcpy(buffer_.data() + used_, bytes + done, n);
        used_ += n;
        done += n;
        if (used_ == kBufferSize && !WriteOut()) throw EStreamError("Stream write error");
    }
    return count;
}

std::size_t TBufferStream::Read(void* buffer, std::size_t count) {
    if (mode_ == Mode::Writing && !WriteOut()) throw EStreamError("Stream write error");
    char* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        if (mode_ != Mode::Reading || next_ == used_) {
            used_ = target_.Read(buffer_.data(), kBufferSize);
            next_ = 0;
            mode_ = Mode::Reading;
            if (used_ == 0) break;
        }
        std::size_t n = std::min(count - done, used_ - next_);
        std::memcpy(bytes + done, buffer_.data() + next_, n);
        next_ += n;
        done += n;
    }
    return done;
}

std::int64_t TBufferStream::Seek(std::int64_t offset, int origin) {
    if (origin != soFromBeginning && origin != soFromCurrent && origin != soFromEnd)
        throw EStreamError("Invalid seek origin = " + std::to_string(origin));
    if (mode_ == Mode::Writing) {
        if (!WriteOut()) throw EStreamError("Seek error");
    } else if (mode_ == Mode::Reading) {
        DropReadAhead();
    }
    return target_.Seek(offset, origin);
}

void TBufferStream::PutBack(char byte) {
    if (mode_ != Mode::Reading || next_ == 0) throw EStreamError("PutBack overflow");
    buffer_[--next_] = byte;
}

}  // namespace tarnwell
