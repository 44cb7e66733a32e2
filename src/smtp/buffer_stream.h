#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "smtp/stream.h"

namespace tarnwell {

// Buffers the traffic to another stream in 32768 bytes, so that many small writes (an encoder's lines)
// reach it as few large ones. Written bytes collect in the buffer and go to the underlying stream when it
// is full, when the position is set and when the buffered stream is destroyed. Reads come from the
// underlying stream through the same buffer, and the bytes last read can be put back.
class TBufferStream : public TStream {
public:
    static constexpr std::size_t kBufferSize = 32768;

    // The underlying stream must outlive this one.
    explicit TBufferStream(TStream& target);
    // Writes out what is still buffered; a failure cannot be reported from here and is dropped.
    ~TBufferStream() override;
    TBufferStream(const TBufferStream&) = delete;
    TBufferStream& operator=(const TBufferStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    // Writes the buffer out first: EStreamError "Seek error" when the underlying stream takes less than
    // it should; "Invalid seek origin = <n>" for an unknown origin.
    std::int64_t Seek(std::int64_t offset, int origin) override;

    // Steps back over the byte last read and makes it `byte`, so the next read gives it again.
    // EStreamError "PutBack overflow" when no byte read from the buffer lies before the position.
    void PutBack(char byte);

private:
    enum class Mode { Empty, Writing, Reading };
    // Writes the buffered bytes out; false when the underlying stream took fewer.
    bool WriteOut();
    // Gives unread buffered bytes back to the underlying stream's position.
    void DropReadAhead();

    TStream& target_;
    std::vector<char> buffer_;
    Mode mode_ = Mode::Empty;
    std::size_t used_ = 0;  // bytes held (written, or read ahead)
    std::size_t next_ = 0;  // next byte to read, while reading
};

}  // namespace tarnwell
