#include "app/memory_reuse.h"

#include <cstdlib>  // defines __GLIBC__ with the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tarnwell {

void ReuseFreedMemory() {
#if defined(__GLIBC__)
    constexpr int kLargestHeapBuffer = 32 << 20;  // the C library's own ceiling for this setting
    constexpr int kFreeMemoryKept = 64 << 20;
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBuffer);
    mallopt(M_TRIM_THRESHOLD, kFreeMemoryKept);
#endif
}

}  // namespace tarnwell
