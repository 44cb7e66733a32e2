#include "files/bulk_memory.h"

#include <algorithm>
#include <new>
#include <utility>

namespace tarnwell {
namespace {

constexpr std::size_t kMinRegion = std::size_t{1} << 20;
constexpr std::size_t kMaxRegion = std::size_t{64} << 20;
constexpr std::size_t kAlignment = 8;

}  // namespace

BulkMemory::~BulkMemory() {
    Release();
}

BulkMemory::BulkMemory(BulkMemory&& other) noexcept
    : regions_(std::move(other.regions_)), next_(other.next_), limit_(other.limit_), reserved_(other.reserved_) {
    other.regions_.clear();
    other.next_ = other.limit_ = nullptr;
    other.reserved_ = 0;
    expected_ = std::exchange(other.expected_, 0);
}

BulkMemory& BulkMemory::operator=(BulkMemory&& other) noexcept {
    if (this != &other) {
        Release();
        regions_ = std::move(other.regions_);
        next_ = other.next_;
        limit_ = other.limit_;
        reserved_ = other.reserved_;
        expected_ = std::exchange(other.expected_, 0);
        other.regions_.clear();
        other.next_ = other.limit_ = nullptr;
        other.reserved_ = 0;
    }
    return *this;
}

void BulkMemory::Release() {
    for (const Region& region : regions_) Unmap(region);
    regions_.clear();
    next_ = limit_ = nullptr;
    reserved_ = 0;
}

void* BulkMemory::Allocate(std::size_t bytes) {
    bytes = (std::max<std::size_t>(bytes, 1) + kAlignment - 1) & ~(kAlignment - 1);
    if (bytes == 0) throw std::bad_alloc();  // the rounding wrapped around
    if (static_cast<std::size_t>(limit_ - next_) < bytes) {
        // Regions double with what is taken, so a large load makes few of them and a small one wastes
        // little; a region left behind keeps its unused end, which the system never provided.
        const std::size_t size = std::max({bytes, expected_, std::clamp(reserved_, kMinRegion, kMaxRegion)});
        expected_ = 0;
        regions_.reserve(regions_.size() + 1);
        const Region region = Map(size);
        if (region.base == nullptr) throw std::bad_alloc();
        regions_.push_back(region);
        next_ = region.base;
        limit_ = region.base + region.size;
        reserved_ += region.size;
    }
    void* piece = next_;
    next_ += bytes;
    return piece;
}

}  // namespace tarnwell
