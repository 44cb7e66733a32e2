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
    constexpr std::size_t kPage = std::size_t{4} << 10;
    size = (size + kPage - 1) & ~(kPage - 1);
    if (size == 0) return {};
    if (size < kHugeRegion) {
        void* base = MapAnonymous(size);
        return {static_cast<char*>(base), base != nullptr ? size : 0};
    }
    // Huge pages need addresses on a 2 MB boundary: map 2 MB more and give back the ends around it.
    if (size + kHugePage < size) return {};
    char* const base = static_cast<char*>(MapAnonymous(size + kHugePage));
    if (base == nullptr) return {};
    const auto address = reinterpret_cast<std::uintptr_t>(base);
    char* const aligned = reinterpret_cast<char*>((address + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1));
    if (aligned > base) munmap(base, static_cast<std::size_t>(aligned - base));
    const std::size_t tail = static_cast<std::size_t>(base + size + kHugePage - (aligned + size));
    if (tail > 0) munmap(aligned + size, tail);
    // The end that does not fill a huge page keeps small pages: a huge page there would be mostly unused.
    madvise(aligned, size & ~(kHugePage - 1), MADV_HUGEPAGE);
    return {aligned, size};
}

void BulkMemory::Unmap(const Region& region) {
    munmap(region.base, region.size);
}

}  // namespace tarnwell
