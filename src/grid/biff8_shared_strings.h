#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "grid/biff8_record.h"

namespace tarnwell {

// The workbook's shared string table: every distinct cell text once, in the order of first use. Cells
// refer to their text by its index.
class BiffSharedStrings {
public:
    // The index of a Windows-1251 text, added on first use. Every call counts as one reference.
    std::uint32_t Add(std::string_view text);

    std::uint32_t UniqueCount() const { return static_cast<std::uint32_t>(texts_.size()); }
    // Bytes of the stored strings (headers and characters) without record overhead: a lower bound of the
    // size of the SST record, known while the table is still being filled.
    std::uint64_t StringBytes() const { return string_bytes_; }

    // Appends the SST record, continued in CONTINUE records as its size requires, and the EXTSST record
    // that indexes it. `out` holds the workbook stream from its start, so its size is the stream offset.
    void WriteRecords(BiffRecordBuffer& out) const;

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

    std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> index_;
    std::vector<const std::string*> texts_;  // keys of index_, in index order
    std::uint32_t references_ = 0;
    std::uint64_t string_bytes_ = 0;
};

}  // namespace tarnwell
