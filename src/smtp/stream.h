#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "text/error.h"

namespace tarnwell {

// A failure of a stream: "Seek error", "Invalid seek origin = <n>", "PutBack overflow", "Stream write
// error", "Stream read error", "Cannot open file <path>".
class EStreamError : public Error {
public:
    using Error::Error;
};

enum SeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// A sequence of bytes with a position: the memory stream of a message body, a file being attached,
// the encoder's buffered output.
class TStream {
public:
    virtual ~TStream() = default;
    // Up to count bytes from the position on; fewer only at the end.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes at the position; the count actually written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves the position by origin (soFromBeginning, soFromCurrent, soFromEnd) and gives the new one.
    virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;

    std::int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soFromBeginning); }
    std::int64_t Size();
    // Writes all the bytes or raises EStreamError "Stream write error".
    void WriteBuffer(std::string_view bytes);
};

// The bytes held in memory.
class MemoryStream : public TStream {
public:
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, int origin) override;

    void Clear();
    const std::string& Data() const { return data_; }

private:
    std::string data_;
    std::size_t position_ = 0;
};

// A file opened for reading. The path is the program's byte string (Windows-1251 on Windows).
class FileStream : public TStream {
public:
    // Raises EStreamError "Cannot open file <path>" when the file cannot be opened for reading.
    explicit FileStream(const std::string& path);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;  // read-only: writes nothing
    std::int64_t Seek(std::int64_t offset, int origin) override;

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace tarnwell
