#include "grid/biff8_shared_strings.h"

#include <algorithm>

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
    explicit ContinuedRecordWriter(BiffRecordBuffer& out) : out_(out) { out_.Begin(BiffRecord::kSst); }

    std::size_t Room() const { return kBiffMaxRecordData - out_.RecordDataSize(); }
    void Continue() {
        out_.End();
        out_.Begin(BiffRecord::kContinue);
    }
    void Finish() { out_.End(); }

private:
    BiffRecordBuffer& out_;
};

// The strings per EXTSST bucket, as Excel computes it; the field is 16 bits wide.
std::uint16_t StringsPerBucket(std::uint32_t unique) {
    return static_cast<std::uint16_t>(std::clamp<std::uint32_t>(unique / 128 + 1, 8, 0xFFFF));
}

}  // namespace

std::uint32_t BiffSharedStrings::Add(std::string_view text) {
    ++references_;
    if (auto found = index_.find(text); found != index_.end()) return found->second;
    auto index = static_cast<std::uint32_t>(texts_.size());
    auto inserted = index_.emplace(std::string(text), index).first;
    texts_.push_back(&inserted->first);
    bool compressed = std::all_of(text.begin(), text.end(),
                                  [](char c) { return Cp1251ToUnicode(static_cast<unsigned char>(c)) < 0x100; });
    string_bytes_ += kStringHeaderSize + text.size() * (compressed ? 1 : 2);
    return index;
}

void BiffSharedStrings::WriteRecords(BiffRecordBuffer& out) const {
    const std::uint16_t per_bucket = StringsPerBucket(UniqueCount());
    struct Bucket {
        std::uint32_t stream_offset;
        std::uint16_t record_offset;
    };
    std::vector<Bucket> buckets;

    ContinuedRecordWriter record(out);
    out.U32(references_);
    out.U32(UniqueCount());
    for (std::uint32_t i = 0; i < texts_.size(); ++i) {
        std::u16string text = Cp1251ToUtf16(*texts_[i]);
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
