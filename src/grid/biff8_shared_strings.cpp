#include "grid/biff8_shared_strings.h"

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <utility>

#include "text/cp1251.h"

namespace tarnwell {
namespace {

constexpr std::size_t kStringHeaderSize = 3;  // character count (16 bits) and option flags
constexpr std::uint8_t kUncompressedFlag = 0x01;

// Writes the SST record's data and starts a CONTINUE record whenever the next piece does not fit. A
// string header is never split from its first character; the characters of a string may be split, and
// then the CONTINUE record opens with the option flags byte again.
class ContinuedRecordWriter {
public:
    explicit ContinuedRecordWriter(BiffRecordWriter& out) : out_(out) { out_.Begin(BiffRecord::kSst); }

    std::size_t Room() const { return kBiffMaxRecordData - out_.RecordDataSize(); }
    void Continue() {
        out_.End();
        out_.Begin(BiffRecord::kContinue);
    }
    void Finish() { out_.End(); }

private:
    BiffRecordWriter& out_;
};

// The strings per EXTSST bucket, as Excel computes it; the field is 16 bits wide.
std::uint16_t StringsPerBucket(std::uint32_t unique) {
    return static_cast<std::uint16_t>(std::clamp<std::uint32_t>(unique / 128 + 1, 8, 0xFFFF));
}

}  // namespace

std::size_t BiffSharedStrings::Slot(std::string_view text) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = std::hash<std::string_view>{}(text)&mask;
    while (slots_[slot] != 0 && Text(slots_[slot] - 1) != text) slot = (slot + 1) & mask;
    return slot;
}

std::uint32_t BiffSharedStrings::Find(std::string_view text) const {
    const std::size_t slot = slots_.empty() ? 0 : Slot(text);
    if (slots_.empty() || slots_[slot] == 0) throw std::out_of_range("text not in the shared string table");
    return slots_[slot] - 1;
}

std::uint32_t BiffSharedStrings::Add(std::string_view text) {
    if (text.size() > kMaxText) throw std::length_error("text too long for the shared string table");
    ++references_;
    // Keep at least half of the slots free so that probe runs stay short.
    if (2 * (spans_.size() + 1) > slots_.size()) Grow();
    const std::size_t slot = Slot(text);
    if (slots_[slot] != 0) return slots_[slot] - 1;
    const auto index = static_cast<std::uint32_t>(spans_.size());
    slots_[slot] = index + 1;
    spans_.push_back(std::uint64_t{texts_.size()} << 16 | text.size());
    texts_.append(text);
    bool compressed = std::all_of(text.begin(), text.end(),
                                  [](char c) { return Cp1251ToUnicode(static_cast<unsigned char>(c)) < 0x100; });
    string_bytes_ += kStringHeaderSize + text.size() * (compressed ? 1 : 2);
    return index;
}

std::string_view BiffSharedStrings::Text(std::uint32_t index) const {
    return std::string_view(texts_).substr(spans_[index] >> 16, spans_[index] & 0xFFFF);
}

void BiffSharedStrings::Grow() {
    std::vector<std::uint32_t> slots(std::max<std::size_t>(1024, 2 * slots_.size()), 0);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t index = 0; index < spans_.size(); ++index) {
        std::size_t slot = std::hash<std::string_view>{}(Text(index)) & mask;
        while (slots[slot] != 0) slot = (slot + 1) & mask;
        slots[slot] = index + 1;
    }
    slots_ = std::move(slots);
}

void BiffSharedStrings::WriteRecords(BiffRecordWriter& out) const {
    const std::uint16_t per_bucket = StringsPerBucket(UniqueCount());
    struct Bucket {
        std::uint32_t stream_offset;
        std::uint16_t record_offset;
    };
    std::vector<Bucket> buckets;

    ContinuedRecordWriter record(out);
    out.U32(references_);
    out.U32(UniqueCount());
    for (std::uint32_t i = 0; i < UniqueCount(); ++i) {
        std::u16string text = Cp1251ToUtf16(Text(i));
        const bool compressed = FitsCompressed(text);
        const std::size_t char_size = compressed ? 1 : 2;
        if (record.Room() < kStringHeaderSize + char_size) record.Continue();
        if (i % per_bucket == 0) {
            std::size_t in_record = kBiffRecordHeaderSize + out.RecordDataSize();
            buckets.push_back({static_cast<std::uint32_t>(out.size()), static_cast<std::uint16_t>(in_record)});
        }
        out.U16(static_cast<std::uint16_t>(text.size()));
        out.U8(compressed ? 0 : kUncompressedFlag);
        std::u16string_view rest = text;
        for (;;) {
            std::size_t fit = std::min(rest.size(), record.Room() / char_size);
            out.Chars(rest.substr(0, fit), compressed);
            rest.remove_prefix(fit);
            if (rest.empty()) break;
            record.Continue();
            out.U8(compressed ? 0 : kUncompressedFlag);
        }
    }
    record.Finish();

    out.Begin(BiffRecord::kExtSst);
    out.U16(per_bucket);
    for (const Bucket& bucket : buckets) {
        out.U32(bucket.stream_offset);
        out.U16(bucket.record_offset);
        out.U16(0);
    }
    out.End();
}

}  // namespace tarnwell
