#pragma once

// What the fuzz targets share: a property that does not hold ends the run with its description, which
// libFuzzer then reports as a crash with the input that caused it.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tarnwell::fuzzing {

inline void Require(bool holds, std::string_view property) {
    if (holds) return;
    std::fprintf(stderr, "property does not hold: %.*s\n", static_cast<int>(property.size()), property.data());
    std::abort();
}

}  // namespace tarnwell::fuzzing
