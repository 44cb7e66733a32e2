#include "support/heap_in_use.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARNWELL_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TARNWELL_TEST_ASAN 1
#endif

#if defined(TARNWELL_TEST_ASAN)
#include <sanitizer/allocator_interface.h>
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tarnwell::testing_support {

std::optional<std::size_t> HeapInUse() {
#if defined(TARNWELL_TEST_ASAN)
    return __sanitizer_get_current_allocated_bytes();
#elif defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#else
    return std::nullopt;
#endif
}

}  // namespace tarnwell::testing_support
