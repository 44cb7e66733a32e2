#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "grid/text_width.h"

namespace tarnwell {

// The widest of the texts a load measured without storing them, by real column. For cells whose text is
// replaced right after the load while the columns keep the width of what the load read: the statistics
// table's byte counts, fitted as integers and shown converted. Writing each such cell once, instead of an
// integer first and its display text over it, is what keeps a refresh of many users fast.
// AutoSize(measure, &widths) fits the columns as if the texts stood in body (not fixed) cells.
class UnstoredTextWidths {
public:
    explicit UnstoredTextWidths(const TextWidthMeasure& measure)
        : measure_(measure), max_byte_(measure.MaxByteWidth(false)) {}

    // Whether a text of that many bytes could be wider than the widest one added to the column so far.
    // As AutoSize does, a text too short to beat it is not measured; a caller can then skip making it.
    bool CouldWiden(int col, std::size_t length) const {
        return static_cast<std::int64_t>(length) * max_byte_ > Widest(col);
    }

    // A body cell's text in real column col (not negative).
    void Add(int col, std::string_view text) {
        if (!CouldWiden(col, text.size())) return;
        if (static_cast<std::size_t>(col) >= widest_.size()) widest_.resize(static_cast<std::size_t>(col) + 1, 0);
        std::int64_t& best = widest_[static_cast<std::size_t>(col)];
        best = std::max<std::int64_t>(best, measure_.TextWidth(text, false));
    }

    // The widest text added to the column, 0 when none was.
    std::int64_t Widest(int col) const {
        return col >= 0 && static_cast<std::size_t>(col) < widest_.size() ? widest_[static_cast<std::size_t>(col)] : 0;
    }

private:
    const TextWidthMeasure& measure_;
    std::int64_t max_byte_;
    std::vector<std::int64_t> widest_;
};

}  // namespace tarnwell
