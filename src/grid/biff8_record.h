#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwell {

// The largest data part of one BIFF8 record; longer contents go on in CONTINUE records.
inline constexpr std::size_t kBiffMaxRecordData = 8224;
inline constexpr std::size_t kBiffRecordHeaderSize = 4;

// Record types written by the workbook writer.
enum class BiffRecord : std::uint16_t {
    kEof = 0x000A,
    kContinue = 0x003C,
    kWindow1 = 0x003D,
    kCodePage = 0x0042,
    kFont = 0x0031,
    kBoundSheet = 0x0085,
    kXf = 0x00E0,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kExtSst = 0x00FF,
    kDimensions = 0x0200,
    kWindow2 = 0x023E,
    kStyle = 0x0293,
    kBof = 0x0809,
};

// Writes BIFF8 records, little-endian, handing completed records to a sink in blocks, so a stream of any
// size passes through a small buffer. size() counts everything written, so it is the stream offset of what
// comes next when the writer starts at the beginning of the stream. A sink that drops the bytes turns the
// writer into a measure of the stream's size.
class BiffRecordWriter {
public:
    using Sink = std::function<void(const void* data, std::size_t size)>;

    explicit BiffRecordWriter(Sink sink) : sink_(std::move(sink)) {}

    // Opens a record; End() fills in its length.
    void Begin(BiffRecord type);
    // Throws std::logic_error when the record's data exceed kBiffMaxRecordData.
    void End();
    // Hands every completed record to the sink.
    void Flush();
    // Data bytes of the open record so far.
    std::size_t RecordDataSize() const { return bytes_.size() - record_start_ - kBiffRecordHeaderSize; }

    void U8(std::uint8_t value) { bytes_.push_back(value); }
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    // UTF-16 code units, two bytes each, or one byte each when `compressed` (every unit below 0x100).
    void Chars(std::u16string_view text, bool compressed);
    // A sheet or font name: 8-bit character count, option flags, characters.
    void ShortString(std::u16string_view text);

    std::uint64_t size() const { return flushed_ + bytes_.size(); }

private:
    Sink sink_;
    std::vector<unsigned char> bytes_;
    std::size_t record_start_ = 0;
    std::uint64_t flushed_ = 0;
};

// True when every code unit fits in one byte, so the text can be stored compressed.
bool FitsCompressed(std::u16string_view text);

}  // namespace tarnwell
