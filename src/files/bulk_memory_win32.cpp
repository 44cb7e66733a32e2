#include <windows.h>

#include "files/bulk_memory.h"

namespace tarnwell {

// Committed at once: Windows provides the pages, zero-filled, as they are first touched.
BulkMemory::Region BulkMemory::Map(std::size_t size) {
    void* base = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    return {static_cast<char*>(base), base != nullptr ? size : 0};
}

void BulkMemory::Unmap(const Region& region) {
    VirtualFree(region.base, 0, MEM_RELEASE);
}

}  // namespace tarnwell
