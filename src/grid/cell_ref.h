#pragma once

// The packed forms of the cell store's references and row slots, shared by the store (cell_store.cpp) and
// the rows that worker threads build for it (bulk_rows.cpp).

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tarnwell::cell_ref {

// A packed cell reference: 0 is the empty cell; with the top bit set the rest is an index into the list
// of long references; otherwise 12 bits of block, 34 bits of offset and 17 bits of length.
inline constexpr std::uint64_t kLongFlag = std::uint64_t{1} << 63;
inline constexpr int kLengthBits = 17;
inline constexpr int kOffsetBits = 34;
inline constexpr int kBlockBits = 12;
inline constexpr std::uint64_t kLengthMask = (std::uint64_t{1} << kLengthBits) - 1;
inline constexpr std::uint64_t kOffsetMask = (std::uint64_t{1} << kOffsetBits) - 1;
inline constexpr std::uint64_t kBlockMask = (std::uint64_t{1} << kBlockBits) - 1;
inline constexpr int kOffsetShift = kLengthBits;
inline constexpr int kBlockShift = kLengthBits + kOffsetBits;

// Whether a text fits a short reference; one that does not takes a long one.
constexpr bool FitsShort(std::uint64_t block, std::uint64_t offset, std::uint64_t length) {
    return block <= kBlockMask && offset <= kOffsetMask && length <= kLengthMask;
}
constexpr std::uint64_t PackShort(std::uint64_t block, std::uint64_t offset, std::uint64_t length) {
    return (block << kBlockShift) | (offset << kOffsetShift) | length;
}

// A packed row slot: 22 bits of page, 16 bits of offset in the page, 26 bits of size (columns). The
// empty slot, 0, is a row without cells.
inline constexpr int kSizeBits = 26;
inline constexpr int kPlaceBits = 16;
inline constexpr std::uint64_t kSizeMask = (std::uint64_t{1} << kSizeBits) - 1;
inline constexpr std::uint64_t kPlaceMask = (std::uint64_t{1} << kPlaceBits) - 1;
inline constexpr std::uint64_t kMaxPages = std::uint64_t{1} << 22;
inline constexpr int kPlaceShift = kSizeBits;
inline constexpr int kPageShift = kSizeBits + kPlaceBits;

// Rows share pages of 64 Ki references (512 KB); a row of more than a quarter page gets its own page,
// so no more than a quarter of a shared page is ever left unused at its end.
inline constexpr std::uint32_t kSharedPageRefs = std::uint32_t{1} << kPlaceBits;
inline constexpr std::uint32_t kOwnPageRefs = kSharedPageRefs / 4;

// Row slots come in pages of 4096 rows, so that untouched stretches of rows cost nothing.
inline constexpr int kSlotPageBits = 12;
inline constexpr std::size_t kSlotPageSize = std::size_t{1} << kSlotPageBits;

constexpr std::uint64_t PackSlot(std::uint64_t page, std::uint64_t place, std::uint64_t size) {
    return (page << kPageShift) | (place << kPlaceShift) | size;
}
constexpr std::uint32_t SlotPage(std::uint64_t slot) {
    return static_cast<std::uint32_t>(slot >> kPageShift);
}
constexpr std::uint32_t SlotPlace(std::uint64_t slot) {
    return static_cast<std::uint32_t>((slot >> kPlaceShift) & kPlaceMask);
}
constexpr std::uint32_t SlotSize(std::uint64_t slot) {
    return static_cast<std::uint32_t>(slot & kSizeMask);
}

// An array of references or slots: owned (from new[], freed with it) or a piece of bulk memory that the
// store keeps apart and frees whole (files/bulk_memory.h).
struct FreeIfOwned {
    bool owned = true;
    void operator()(std::uint64_t* p) const {
        if (owned) delete[] p;
    }
};
using RefArray = std::unique_ptr<std::uint64_t[], FreeIfOwned>;

inline RefArray NewRefArray(std::size_t count) {
    return RefArray(std::make_unique_for_overwrite<std::uint64_t[]>(count).release());
}
inline RefArray NewZeroRefArray(std::size_t count) {
    return RefArray(std::make_unique<std::uint64_t[]>(count).release());
}
inline RefArray BorrowedRefArray(std::uint64_t* refs) {
    return RefArray(refs, FreeIfOwned{false});
}

}  // namespace tarnwell::cell_ref
