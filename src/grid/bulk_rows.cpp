#include "grid/bulk_rows.h"

#include <algorithm>
#include <utility>

#include "grid/cell_ref.h"
#include "grid/table_grid_error.h"

namespace tarnwell {

using namespace cell_ref;

namespace {

// The parts' pages are smaller than the store's own: a part leaves the end of its last page unused, and
// a load has a few parts per core. A row wider than a quarter page gets a page of its own.
constexpr std::uint32_t kPartPageRefs = std::uint32_t{1} << 13;
constexpr std::uint32_t kPartOwnPageRefs = kPartPageRefs / 4;

}  // namespace

BulkRows::BulkRows(std::shared_ptr<const void> owner, std::string_view bytes, int row_count)
    : owner_(std::move(owner)), bytes_(bytes), row_count_(std::max(row_count, 0)) {
    slot_pages_.resize((static_cast<std::size_t>(row_count_) + kSlotPageSize - 1) >> kSlotPageBits, nullptr);
    slot_memory_.Expect(slot_pages_.size() * kSlotPageSize * sizeof(std::uint64_t));
}

void BulkRows::ExpectCells(std::size_t count) {
    // Rows do not straddle pages: a page loses at most a row's worth at its end.
    const std::size_t pages = count / (kPartPageRefs - kPartOwnPageRefs) + 1;
    page_memory_.Expect(pages * kPartPageRefs * sizeof(std::uint64_t));
}

// Bulk memory comes zero-filled: a fresh slot page holds rows without cells.
std::uint64_t* BulkRows::NewMemory(BulkMemory& memory, std::size_t count) {
    std::lock_guard<std::mutex> lock(memory_lock_);
    return static_cast<std::uint64_t*>(memory.Allocate(count * sizeof(std::uint64_t)));
}

BulkRows::~BulkRows() = default;

void BulkRows::Split(std::span<const int> first_rows) {
    if (!parts_.empty()) throw ETableGridError("The rows are split already");
    for (std::size_t i = 0; i < first_rows.size(); ++i) {
        const int first = first_rows[i];
        const int end = i + 1 < first_rows.size() ? first_rows[i + 1] : row_count_;
        if ((i == 0 && first != 0) || first > end || end > row_count_) throw ETableGridError("Grid index out of range");
    }
    for (std::size_t i = 0; i < first_rows.size(); ++i) {
        const int first = first_rows[i];
        const int end = i + 1 < first_rows.size() ? first_rows[i + 1] : row_count_;
        parts_.push_back(std::make_unique<Part>(Part::Made(), *this, first, end));
        // The slot page of a part's first row may hold rows of the part before it too: made here, before
        // the threads start, and neither part makes it.
        const auto page = static_cast<std::size_t>(first) >> kSlotPageBits;
        if (first < end && slot_pages_[page] == nullptr) slot_pages_[page] = NewMemory(slot_memory_, kSlotPageSize);
    }
}

std::uint64_t& BulkRows::Part::SlotOf(int row) {
    std::uint64_t*& page = rows_->slot_pages_[static_cast<std::size_t>(row) >> kSlotPageBits];
    // A page that holds no part's first row is this part's alone.
    if (page == nullptr) page = rows_->NewMemory(rows_->slot_memory_, kSlotPageSize);
    return page[static_cast<std::size_t>(row) & (kSlotPageSize - 1)];
}

// Room for a row of `size` references in the part's pages; the row's slot, with the part's own page
// number, goes to `slot`.
std::uint64_t* BulkRows::Part::PlaceRow(std::uint32_t size, std::uint64_t& slot) {
    if (pages_.size() >= kMaxPages) throw ETableGridError("Too many cells in the grid");
    if (size > kPartOwnPageRefs) {
        pages_.push_back(Page{rows_->NewMemory(rows_->page_memory_, size), size, size, true});
        slot = PackSlot(pages_.size() - 1, 0, size);
        return pages_.back().refs;
    }
    if (shared_page_ == kNoPage || pages_[shared_page_].used + size > kPartPageRefs) {
        pages_.push_back(Page{rows_->NewMemory(rows_->page_memory_, kPartPageRefs), kPartPageRefs, 0, false});
        shared_page_ = pages_.size() - 1;
    }
    Page& page = pages_[shared_page_];
    const std::uint32_t place = page.used;
    page.used += size;
    slot = PackSlot(shared_page_, place, size);
    return page.refs + place;
}

void BulkRows::Part::SetRow(int row, std::span<const TextSlice> slices) {
    if (row < first_row_ || row >= end_row_ || row < next_row_) throw ETableGridError("Grid index out of range");
    // Empty cells past the last text take no room, as in the store.
    std::size_t used = slices.size();
    while (used > 0 && slices[used - 1].length == 0) --used;
    if (used > kSizeMask) throw ETableGridError("Grid index out of range");
    const std::size_t size = rows_->bytes_.size();
    for (std::size_t col = 0; col < used; ++col) {
        const TextSlice& s = slices[col];
        if (s.offset > size || s.length > size - s.offset) throw ETableGridError("Text slice out of range");
    }
    next_row_ = row + 1;
    if (used == 0) return;

    std::uint64_t slot = 0;
    std::uint64_t* refs = PlaceRow(static_cast<std::uint32_t>(used), slot);
    // The block the store adopts first, after the rows' owner empties it, is block 0.
    for (std::size_t col = 0; col < used; ++col) {
        const TextSlice& s = slices[col];
        if (s.length == 0) {
            refs[col] = 0;
        } else if (FitsShort(0, s.offset, s.length)) {
            refs[col] = PackShort(0, s.offset, s.length);
        } else {
            refs[col] = kLongFlag | long_refs_.size();
            long_refs_.push_back(LongRef{s.offset, s.length, row, static_cast<std::uint32_t>(col)});
        }
    }
    refs_ += used;
    SlotOf(row) = slot;
}

}  // namespace tarnwell
