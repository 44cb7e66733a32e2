#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tarnwell {

// Streams shorter than this belong in a compound file's mini stream, which this writer does not produce:
// callers pad their stream up to this size instead.
inline constexpr std::uint64_t kCompoundMinStreamSize = 4096;
// The largest stream written. Sizes and offsets in the container, and in the formats kept inside it, are
// 32-bit fields that many readers take as signed.
inline constexpr std::uint64_t kCompoundMaxStreamSize = 0x7FFFFFFF;

// Writes a compound file (the version 3 container with 512-byte sectors) holding one stream below the
// root storage, without keeping the stream in memory: its sectors follow the header in one run, and the
// directory, the sector allocation table and, for files over about 7 MB, the table's extension sectors
// come after them.
//
//     CompoundFileWriter writer(sink, u"Workbook", size);
//     writer.Write(data, n);  // ... until `size` bytes have been given
//     writer.Finish();
//
// Every byte of the file goes to `sink` in order; the sink reports its own failures by throwing.
class CompoundFileWriter {
public:
    using Sink = std::function<void(const void* data, std::size_t size)>;

    // Writes the header. Throws std::invalid_argument when stream_size lies outside kCompoundMinStreamSize
    // to kCompoundMaxStreamSize or the name is empty or longer than 31 characters.
    CompoundFileWriter(Sink sink, std::u16string_view stream_name, std::uint64_t stream_size);
    CompoundFileWriter(const CompoundFileWriter&) = delete;
    CompoundFileWriter& operator=(const CompoundFileWriter&) = delete;

    // Appends to the stream. Throws std::logic_error when the stream would grow beyond its declared size.
    void Write(const void* data, std::size_t size);
    // Writes what follows the stream. Throws std::logic_error when the stream is shorter than declared.
    void Finish();

private:
    void WriteDirectory();
    void WriteAllocationTable();
    void WriteTableExtension();

    Sink sink_;
    std::u16string name_;
    std::uint64_t size_;
    std::uint64_t written_ = 0;
    std::uint32_t stream_sectors_ = 0;
    std::uint32_t table_sectors_ = 0;      // sectors of the allocation table
    std::uint32_t extension_sectors_ = 0;  // sectors listing table sectors beyond the header's 109
};

}  // namespace tarnwell
