#include "grid/biff8_record.h"

#include <algorithm>
#include <stdexcept>

namespace tarnwell {
namespace {

// Completed records are handed on once this many bytes have gathered.
constexpr std::size_t kBlockSize = 64 * 1024;

}  // namespace

void BiffRecordWriter::Begin(BiffRecord type) {
    record_start_ = bytes_.size();
    U16(static_cast<std::uint16_t>(type));
    U16(0);
}

void BiffRecordWriter::End() {
    std::size_t length = RecordDataSize();
    if (length > kBiffMaxRecordData) throw std::logic_error("BIFF record longer than its limit");
    bytes_[record_start_ + 2] = static_cast<unsigned char>(length);
    bytes_[record_start_ + 3] = static_cast<unsigned char>(length >> 8);
    if (bytes_.size() >= kBlockSize) Flush();
}

void BiffRecordWriter::Flush() {
    sink_(bytes_.data(), bytes_.size());
    flushed_ += bytes_.size();
    bytes_.clear();
}

void BiffRecordWriter::U16(std::uint16_t value) {
    bytes_.push_back(static_cast<unsigned char>(value));
    bytes_.push_back(static_cast<unsigned char>(value >> 8));
}

void BiffRecordWriter::U32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void BiffRecordWriter::Chars(std::u16string_view text, bool compressed) {
    if (compressed) {
        for (char16_t c : text) bytes_.push_back(static_cast<unsigned char>(c));
    } else {
        for (char16_t c : text) U16(static_cast<std::uint16_t>(c));
    }
}

void BiffRecordWriter::ShortString(std::u16string_view text) {
    bool compressed = FitsCompressed(text);
    U8(static_cast<std::uint8_t>(text.size()));
    U8(compressed ? 0 : 1);
    Chars(text, compressed);
}

bool FitsCompressed(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x100; });
}

}  // namespace tarnwell
