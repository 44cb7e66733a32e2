#include <sys/mman.h>

#include <cstdint>

#include "files/bulk_memory.h"

namespace tarnwell {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a region is not worth a huge page, which the system would fill at once.
constexpr std::size_t kHugeRegion = std::size_t{4} << 20;

void* MapAnonymous(std::size_t size) {
    void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return base == MAP_FAILED ? nullptr : base;
}

}  // namespace

BulkMemory::Region BulkMemory::Map(std::size_t size) {
    if (size < kHugeRegion) {
        void* base = MapAnonymous(size);
        return {static_cast<char*>(base), base != nullptr ? size : 0};
    }
    // Huge pages need addresses on a 2 MB boundary: map 2 MB more and give back the ends around it.
    size = (size + kHugePage - 1) & ~(kHugePage - 1);
    if (size == 0 || size + kHugePage < size) return {};
    char* const base = static_cast<char*>(MapAnonymous(size + kHugePage));
    if (base == nullptr) return {};
    const auto address = reinterpret_cast<std::uintptr_t>(base);
    char* const aligned = reinterpret_cast<char*>((address + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1));
    if (aligned > base) munmap(base, static_cast<std::size_t>(aligned - base));
    const std::size_t tail = static_cast<std::size_t>(base + size + kHugePage - (aligned + size));
    if (tail > 0) munmap(aligned + size, tail);
    madvise(aligned, size, MADV_HUGEPAGE);
    return {aligned, size};
}

void BulkMemory::Unmap(const Region& region) {
    munmap(region.base, region.size);
}

}  // namespace tarnwell
