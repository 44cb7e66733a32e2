#pragma once

#include <cstddef>
#include <optional>

namespace tarnwell::testing_support {

// Bytes the process holds from the heap now (allocated and not freed, large blocks included), where the C
// library or the sanitizer's allocator says so; nothing where it cannot be known (Windows). Sampled while
// an operation runs, it shows whether the operation's memory grows with its data.
std::optional<std::size_t> HeapInUse();

}  // namespace tarnwell::testing_support
