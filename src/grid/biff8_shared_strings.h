#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "grid/biff8_record.h"

namespace tarnwell {

// The workbook's shared string table: every distinct cell text once, in the order of first use. Cells
// refer to their text by its index.
//
// A sheet may hold 16.7 million distinct texts, so they are kept one after another in a single block and
// found through an open-addressing table of indexes: a few bytes per text beyond the text itself.
class BiffSharedStrings {
public:
    // The largest text the table holds (its character count is a 16-bit field).
    static constexpr std::size_t kMaxText = 0xFFFF;

    // The index of a Windows-1251 text of at most kMaxText bytes, added on first use. Every call counts as
    // one reference.
    std::uint32_t Add(std::string_view text);
    // The index of a text added before; std::out_of_range for any other text.
    std::uint32_t Find(std::string_view text) const;

    std::uint32_t UniqueCount() const { return static_cast<std::uint32_t>(spans_.size()); }
    // Bytes of the stored strings (headers and characters) without record overhead: a lower bound of the
    // size of the SST record, known while the table is still being filled.
    std::uint64_t StringBytes() const { return string_bytes_; }

    // Writes the SST record, continued in CONTINUE records as its size requires, and the EXTSST record that
    // indexes it. The writer's size is taken as the stream offset.
    void WriteRecords(BiffRecordWriter& out) const;

private:
    std::string_view Text(std::uint32_t index) const;
    // The slot that holds the text, or the free slot where it belongs.
    std::size_t Slot(std::string_view text) const;
    void Grow();

    std::string texts_;                 // the distinct texts, one after another
    std::vector<std::uint64_t> spans_;  // by index: offset in texts_ << 16 | length
    std::vector<std::uint32_t> slots_;  // index + 1 of the text hashed there, 0 when free
    std::uint32_t references_ = 0;
    std::uint64_t string_bytes_ = 0;
};

}  // namespace tarnwell
