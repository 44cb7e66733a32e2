#pragma once

#include <cstddef>

namespace tarnwell {

// A byte range of a text block that a grid has adopted: a cell's text without a copy of it.
struct TextSlice {
    std::size_t offset = 0;
    std::size_t length = 0;
};

}  // namespace tarnwell
