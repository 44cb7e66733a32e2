#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "grid/table_grid.h"

namespace tarnwell::testing_support {

// A grid whose texts are made when a writer asks for them (through SaveCell) and never stored: a table of
// any size at no memory, for the tests that measure what a save holds. The text of a cell is one of
// `distinct` texts of about `length` bytes, in turn along the rows.
class VirtualGrid final : public TTableGrid {
public:
    VirtualGrid(int columns, int rows, std::size_t distinct, std::size_t length = 30)
        : TTableGrid(columns, rows), distinct_(distinct), length_(length) {}

    std::string_view SaveCell(int col, int row) const override {
        const std::size_t n = (static_cast<std::size_t>(row) * static_cast<std::size_t>(ColCount()) +
                               static_cast<std::size_t>(col)) % distinct_;
        text_ = "cell " + std::to_string(n);
        text_.resize(std::max(length_, text_.size()), '.');
        return text_;
    }

private:
    std::size_t distinct_;
    std::size_t length_;
    mutable std::string text_;  // the last text asked for; a writer is done with it before asking again
};

}  // namespace tarnwell::testing_support
