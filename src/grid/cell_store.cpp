#include "grid/cell_store.h"

#include <algorithm>
#include <cstring>

#include "grid/bulk_rows.h"
#include "grid/cell_ref.h"
#include "grid/table_grid_error.h"

namespace tarnwell {

using namespace cell_ref;

namespace {

// Arena blocks start at 64 KB and grow with the arena up to 64 MB; a text of more than 16 KB gets a
// block of its own, so an arena block loses at most a quarter of itself at its end.
constexpr std::size_t kArenaMinBlock = std::size_t{64} << 10;
constexpr std::size_t kArenaMaxBlock = std::size_t{64} << 20;
constexpr std::size_t kArenaOwnBlock = std::size_t{16} << 10;

// Garbage is collected once it outweighs the live data and is worth a pass.
constexpr std::size_t kMinArenaGarbage = std::size_t{1} << 20;  // bytes
constexpr std::size_t kMinRefGarbage = std::size_t{1} << 17;    // references (1 MB)

[[noreturn]] void IndexOutOfRange() {
    throw ETableGridError("Grid index out of range");
}

void CheckWritable(int col, int row) {
    if (col < 0 || row < 0 || col >= CellStore::kMaxColumns) IndexOutOfRange();
}

}  // namespace

CellStore::CellStore() = default;
CellStore::~CellStore() = default;

// --- References ------------------------------------------------------------------------------------

std::string_view CellStore::Resolve(std::uint64_t ref) const {
    if (ref == 0) return {};
    if (ref & kLongFlag) {
        const LongRef& r = long_refs_[ref & ~kLongFlag];
        return {block_data_[r.block] + r.offset, static_cast<std::size_t>(r.length)};
    }
    const char* base = block_data_[ref >> kBlockShift];
    return {base + ((ref >> kOffsetShift) & kOffsetMask), static_cast<std::size_t>(ref & kLengthMask)};
}

std::uint64_t CellStore::MakeRef(BlockId block, std::uint64_t offset, std::uint64_t length) {
    if (length == 0) return 0;
    if (FitsShort(block, offset, length)) return PackShort(block, offset, length);
    std::uint64_t index;
    if (!free_long_refs_.empty()) {
        index = free_long_refs_.back();
        free_long_refs_.pop_back();
        long_refs_[index] = LongRef{block, offset, length};
    } else {
        index = long_refs_.size();
        long_refs_.push_back(LongRef{block, offset, length});
    }
    return kLongFlag | index;
}

bool CellStore::IsArenaRef(std::uint64_t ref) const {
    if (ref == 0) return false;
    BlockId block = (ref & kLongFlag) ? long_refs_[ref & ~kLongFlag].block : static_cast<BlockId>(ref >> kBlockShift);
    return blocks_[block].arena;
}

std::uint64_t CellStore::RefLength(std::uint64_t ref) const {
    if (ref == 0) return 0;
    return (ref & kLongFlag) ? long_refs_[ref & ~kLongFlag].length : (ref & kLengthMask);
}

// A reference that a cell no longer holds: its arena bytes become garbage, its long entry free.
void CellStore::Release(std::uint64_t ref) {
    if (ref == 0) return;
    if (IsArenaRef(ref)) {
        std::uint64_t length = RefLength(ref);
        arena_live_ -= length;
        arena_garbage_ += length;
    }
    if (ref & kLongFlag) free_long_refs_.push_back(ref & ~kLongFlag);
}

// --- Blocks and the arena --------------------------------------------------------------------------

CellStore::BlockId CellStore::NewBlock(Block block, const char* data) {
    if (!free_blocks_.empty()) {
        BlockId id = free_blocks_.back();
        free_blocks_.pop_back();
        blocks_[id] = std::move(block);
        block_data_[id] = data;
        return id;
    }
    if (blocks_.size() >= 0xFFFFFFFFu) throw ETableGridError("Too many text blocks in the grid");
    blocks_.push_back(std::move(block));
    block_data_.push_back(data);
    return static_cast<BlockId>(blocks_.size() - 1);
}

CellStore::BlockId CellStore::NewArenaBlock(std::unique_ptr<std::string> text) {
    const char* data = text->data();
    return NewBlock(Block{std::move(text), nullptr, 0, true}, data);
}

CellStore::BlockId CellStore::Adopt(std::string block) {
    auto text = std::make_shared<std::string>(std::move(block));
    const std::string_view bytes = *text;
    return Adopt(std::move(text), bytes);
}

CellStore::BlockId CellStore::Adopt(std::shared_ptr<const void> owner, std::string_view bytes) {
    return NewBlock(Block{nullptr, std::move(owner), bytes.size(), false}, bytes.data());
}

// Appends the text to the arena and returns its reference. The text may lie in the arena itself:
// arena blocks never reallocate, and a new block is made before the old one could go.
std::uint64_t CellStore::CopyIntoArena(std::string_view text) {
    if (text.empty()) return 0;
    if (text.size() > kArenaOwnBlock) {
        BlockId id = NewArenaBlock(std::make_unique<std::string>(text));
        arena_reserved_ += text.size();
        arena_live_ += text.size();
        return MakeRef(id, 0, text.size());
    }
    if (has_arena_block_) {
        std::string& current = *blocks_[arena_block_].text;
        if (current.size() + text.size() <= current.capacity()) {
            std::size_t offset = current.size();
            current.append(text);
            arena_live_ += text.size();
            return MakeRef(arena_block_, offset, text.size());
        }
    }
    std::size_t capacity = std::clamp(arena_reserved_ / 2, kArenaMinBlock, kArenaMaxBlock);
    auto block = std::make_unique<std::string>();
    block->reserve(capacity);
    block->append(text);
    arena_reserved_ += block->capacity();
    arena_block_ = NewArenaBlock(std::move(block));
    has_arena_block_ = true;
    arena_live_ += text.size();
    return MakeRef(arena_block_, 0, text.size());
}

void CellStore::MaybeCompactArena() {
    if (arena_garbage_ >= kMinArenaGarbage && arena_garbage_ > arena_live_) CompactArena();
}

// Copies every live arena text into fresh arena blocks, in row order, and gives the old blocks back.
void CellStore::CompactArena() {
    std::vector<BlockId> old_blocks;
    for (BlockId id = 0; id < blocks_.size(); ++id) {
        if (blocks_[id].arena && blocks_[id].text) old_blocks.push_back(id);
    }
    has_arena_block_ = false;
    arena_reserved_ = 0;
    arena_live_ = 0;
    arena_garbage_ = 0;
    for (std::size_t p = 0; p < slot_pages_.size(); ++p) {
        if (!slot_pages_[p]) continue;
        for (std::size_t i = 0; i < kSlotPageSize; ++i) {
            std::uint64_t slot = slot_pages_[p][i];
            std::uint32_t size = SlotSize(slot);
            if (size == 0) continue;
            std::uint64_t* refs = pages_[SlotPage(slot)].refs.get() + SlotPlace(slot);
            for (std::uint32_t c = 0; c < size; ++c) {
                std::uint64_t ref = refs[c];
                if (!IsArenaRef(ref)) continue;
                std::uint64_t moved = CopyIntoArena(Resolve(ref));
                if (ref & kLongFlag) {
                    // Keep the long entry; point it at the new place.
                    LongRef& entry = long_refs_[ref & ~kLongFlag];
                    if (moved & kLongFlag) {
                        entry = long_refs_[moved & ~kLongFlag];
                        free_long_refs_.push_back(moved & ~kLongFlag);
                    } else {
                        entry.block = static_cast<BlockId>(moved >> kBlockShift);
                        entry.offset = (moved >> kOffsetShift) & kOffsetMask;
                    }
                } else {
                    refs[c] = moved;
                }
            }
        }
    }
    for (BlockId id : old_blocks) {
        blocks_[id] = Block{};
        block_data_[id] = nullptr;
        free_blocks_.push_back(id);
    }
}

// --- Rows ------------------------------------------------------------------------------------------

std::uint64_t CellStore::Slot(int row) const {
    std::size_t page = static_cast<std::size_t>(row) >> kSlotPageBits;
    if (page >= slot_pages_.size() || !slot_pages_[page]) return 0;
    return slot_pages_[page][static_cast<std::size_t>(row) & (kSlotPageSize - 1)];
}

std::uint64_t& CellStore::SlotForWrite(int row) {
    std::size_t page = static_cast<std::size_t>(row) >> kSlotPageBits;
    if (page >= slot_pages_.size()) slot_pages_.resize(page + 1);
    if (!slot_pages_[page]) slot_pages_[page] = NewZeroRefArray(kSlotPageSize);
    return slot_pages_[page][static_cast<std::size_t>(row) & (kSlotPageSize - 1)];
}

// A fresh place for a row of `size` references, not yet cleared. `old_size` is the size of the row
// that moves there, so that a row with a page of its own grows geometrically.
std::uint64_t CellStore::PlaceRow(std::uint32_t size, std::uint32_t old_size) {
    if (size > kOwnPageRefs) {
        std::uint64_t wanted = std::max<std::uint64_t>(size, std::uint64_t{old_size} * 2);
        std::uint32_t capacity = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, kSizeMask));
        if (pages_.size() >= kMaxPages) throw ETableGridError("Too many cells in the grid");
        pages_.push_back(Page{NewRefArray(capacity), capacity, size, true});
        return PackSlot(pages_.size() - 1, 0, size);
    }
    if (!has_current_page_ || pages_[current_page_].used + size > pages_[current_page_].capacity) {
        if (pages_.size() >= kMaxPages) throw ETableGridError("Too many cells in the grid");
        pages_.push_back(Page{NewRefArray(kSharedPageRefs), kSharedPageRefs, 0, false});
        current_page_ = static_cast<std::uint32_t>(pages_.size() - 1);
        has_current_page_ = true;
    }
    Page& page = pages_[current_page_];
    std::uint32_t place = page.used;
    page.used += size;
    return PackSlot(current_page_, place, size);
}

std::uint64_t& CellStore::CellForWrite(int col, int row) {
    std::uint64_t& slot = SlotForWrite(row);
    std::uint32_t size = SlotSize(slot);
    auto c = static_cast<std::uint32_t>(col);
    if (c < size) return pages_[SlotPage(slot)].refs[SlotPlace(slot) + c];

    std::uint32_t new_size = c + 1;
    if (size > 0) {
        // The last row of its page grows where it is while the page has room: a row written column
        // after column never moves.
        Page& page = pages_[SlotPage(slot)];
        std::uint32_t place = SlotPlace(slot);
        if (place + size == page.used && std::uint64_t{place} + new_size <= page.capacity) {
            std::fill(page.refs.get() + place + size, page.refs.get() + place + new_size, 0);
            page.used = place + new_size;
            live_refs_ += new_size - size;
            slot = PackSlot(SlotPage(slot), place, new_size);
            return page.refs[place + c];
        }
    }
    std::uint64_t moved = PlaceRow(new_size, size);
    std::uint64_t* to = pages_[SlotPage(moved)].refs.get() + SlotPlace(moved);
    if (size > 0) {
        Page& old_page = pages_[SlotPage(slot)];
        std::uint32_t place = SlotPlace(slot);
        std::memcpy(to, old_page.refs.get() + place, std::size_t{size} * sizeof(std::uint64_t));
        if (old_page.own) {
            // A wide row's own page held nothing else: give it back now.
            old_page = Page{};
        } else if (place + size == old_page.used && has_current_page_ && SlotPage(slot) == current_page_) {
            old_page.used = place;  // the last row of the page being filled: the next row takes its room
        } else {
            garbage_refs_ += size;
        }
    }
    std::fill(to + size, to + new_size, 0);
    live_refs_ += new_size - size;
    slot = moved;
    return to[c];
}

void CellStore::MaybeCompactRows() {
    if (garbage_refs_ >= kMinRefGarbage && garbage_refs_ > live_refs_) CompactRows();
}

// Packs every row, in row order, into fresh pages and drops the old ones.
void CellStore::CompactRows() {
    std::vector<Page> old_pages = std::move(pages_);
    pages_.clear();
    has_current_page_ = false;
    garbage_refs_ = 0;
    for (auto& slot_page : slot_pages_) {
        if (!slot_page) continue;
        for (std::size_t i = 0; i < kSlotPageSize; ++i) {
            std::uint64_t& slot = slot_page[i];
            std::uint32_t size = SlotSize(slot);
            if (size == 0) continue;
            std::uint64_t moved = PlaceRow(size, 0);
            std::memcpy(pages_[SlotPage(moved)].refs.get() + SlotPlace(moved),
                        old_pages[SlotPage(slot)].refs.get() + SlotPlace(slot),
                        std::size_t{size} * sizeof(std::uint64_t));
            slot = moved;
        }
    }
    // Every row has left the pages of a bulk load.
    old_pages.clear();
    page_memory_ = BulkMemory();
}

// --- Public operations -----------------------------------------------------------------------------

std::string_view CellStore::Get(int col, int row) const {
    if (col < 0 || row < 0) return {};
    std::uint64_t slot = Slot(row);
    if (static_cast<std::uint32_t>(col) >= SlotSize(slot)) return {};
    return Resolve(pages_[SlotPage(slot)].refs[SlotPlace(slot) + static_cast<std::uint32_t>(col)]);
}

CellStore::RowView CellStore::Row(int row) const {
    if (row < 0) return RowView(this, nullptr, 0);
    std::uint64_t slot = Slot(row);
    std::uint32_t size = SlotSize(slot);
    if (size == 0) return RowView(this, nullptr, 0);
    return RowView(this, pages_[SlotPage(slot)].refs.get() + SlotPlace(slot), size);
}

void CellStore::Store(int col, int row, std::uint64_t ref) {
    if (ref == 0 && static_cast<std::uint32_t>(col) >= SlotSize(Slot(row))) return;  // empty stays empty
    std::uint64_t& cell = CellForWrite(col, row);
    std::uint64_t old = cell;
    cell = ref;
    Release(old);
    MaybeCompactArena();
    MaybeCompactRows();
}

void CellStore::Set(int col, int row, std::string_view text) {
    CheckWritable(col, row);
    if (OverwriteInPlace(col, row, text)) return;
    // Copy first: the text may be a view of the cell about to be overwritten.
    Store(col, row, CopyIntoArena(text));
}

// A text no longer than the arena text it replaces takes that text's place: a table written again with
// texts of the same lengths (a refresh of the same figures) leaves no garbage and grows no arena. Each
// arena text belongs to one cell, so no other cell sees the change.
bool CellStore::OverwriteInPlace(int col, int row, std::string_view text) {
    if (text.empty()) return false;
    const std::uint64_t slot = Slot(row);
    if (static_cast<std::uint32_t>(col) >= SlotSize(slot)) return false;
    std::uint64_t& cell = pages_[SlotPage(slot)].refs[SlotPlace(slot) + static_cast<std::uint32_t>(col)];
    const std::uint64_t old = cell;
    if (old == 0 || (old & kLongFlag) != 0) return false;
    const auto block = static_cast<BlockId>(old >> kBlockShift);
    const std::uint64_t length = old & kLengthMask;
    if (!blocks_[block].arena || length < text.size()) return false;
    const std::uint64_t offset = (old >> kOffsetShift) & kOffsetMask;
    // memmove: the text may be a view of this very cell.
    std::memmove(blocks_[block].text->data() + offset, text.data(), text.size());
    cell = MakeRef(block, offset, text.size());
    arena_live_ -= length - text.size();
    arena_garbage_ += length - text.size();
    MaybeCompactArena();
    return true;
}

std::string_view CellStore::Adopted(BlockId block) const {
    if (block >= blocks_.size() || !blocks_[block].owner) throw ETableGridError("Unknown text block of the grid");
    return {block_data_[block], blocks_[block].size};
}

void CellStore::SetSlice(int col, int row, BlockId block, std::size_t offset, std::size_t length) {
    CheckWritable(col, row);
    std::size_t size = Adopted(block).size();
    if (offset > size || length > size - offset) throw ETableGridError("Text slice out of range");
    Store(col, row, MakeRef(block, offset, length));
}

void CellStore::SetRowSlices(int row, BlockId block, std::span<const Slice> slices) {
    if (slices.empty()) return;
    CheckWritable(static_cast<int>(std::min<std::size_t>(slices.size() - 1, kMaxColumns)), row);
    const std::size_t size = Adopted(block).size();
    for (const Slice& s : slices) {
        if (s.offset > size || s.length > size - s.offset) throw ETableGridError("Text slice out of range");
    }
    std::uint64_t& slot = SlotForWrite(row);
    if (SlotSize(slot) != 0) {
        // A row that holds cells already may release texts and move: the general path.
        for (std::size_t col = 0; col < slices.size(); ++col) {
            Store(static_cast<int>(col), row, MakeRef(block, slices[col].offset, slices[col].length));
        }
        return;
    }
    // Empty cells past the last text take no room, as with single writes.
    std::size_t used = slices.size();
    while (used > 0 && slices[used - 1].length == 0) --used;
    if (used == 0) return;
    const auto count = static_cast<std::uint32_t>(used);
    const std::uint64_t placed = PlaceRow(count, 0);
    std::uint64_t* refs = pages_[SlotPage(placed)].refs.get() + SlotPlace(placed);
    for (std::uint32_t col = 0; col < count; ++col) refs[col] = MakeRef(block, slices[col].offset, slices[col].length);
    live_refs_ += count;
    slot = placed;
}

void CellStore::Clear() {
    // Assigning fresh containers gives their memory back, which clear() would keep.
    blocks_ = std::vector<Block>();
    block_data_ = std::vector<const char*>();
    free_blocks_ = std::vector<BlockId>();
    has_arena_block_ = false;
    arena_reserved_ = 0;
    arena_live_ = 0;
    arena_garbage_ = 0;
    long_refs_ = std::vector<LongRef>();
    free_long_refs_ = std::vector<std::uint64_t>();
    pages_ = std::vector<Page>();
    has_current_page_ = false;
    live_refs_ = 0;
    garbage_refs_ = 0;
    slot_pages_ = std::vector<RefArray>();
    page_memory_ = BulkMemory();
    slot_memory_ = BulkMemory();
}

void CellStore::TakeRows(BulkRows&& rows) {
    std::size_t pages = 0;
    for (const auto& part : rows.parts_) pages += part->pages_.size();
    if (pages > kMaxPages) throw ETableGridError("Too many cells in the grid");
    Clear();
    if (Adopt(std::move(rows.owner_), rows.bytes_) != 0) throw ETableGridError("Unknown text block of the grid");
    pages_.reserve(pages);
    slot_pages_.resize(rows.slot_pages_.size());
    for (std::size_t p = 0; p < slot_pages_.size(); ++p) {
        if (rows.slot_pages_[p] != nullptr) slot_pages_[p] = BorrowedRefArray(rows.slot_pages_[p]);
    }
    slot_memory_ = std::move(rows.slot_memory_);
    page_memory_ = std::move(rows.page_memory_);
    for (const auto& part : rows.parts_) {
        // Each part numbered its pages and long references from 0: here they follow those before them.
        const std::uint64_t page_base = pages_.size();
        const std::uint64_t long_base = long_refs_.size();
        for (const BulkRows::Part::Page& page : part->pages_) {
            pages_.push_back(Page{BorrowedRefArray(page.refs), page.capacity, page.used, page.own});
        }
        if (page_base != 0) {
            for (int row = part->first_row_; row < part->end_row_; ++row) {
                const auto& slots = slot_pages_[static_cast<std::size_t>(row) >> kSlotPageBits];
                if (!slots) continue;  // no row of this page has cells
                std::uint64_t& slot = slots[static_cast<std::size_t>(row) & (kSlotPageSize - 1)];
                if (slot != 0) slot += page_base << kPageShift;
            }
        }
        for (const BulkRows::Part::LongRef& r : part->long_refs_) {
            const std::uint64_t slot = Slot(r.row);
            std::uint64_t& ref = pages_[SlotPage(slot)].refs[SlotPlace(slot) + r.col];
            ref = kLongFlag | ((ref & ~kLongFlag) + long_base);
            long_refs_.push_back(LongRef{0, r.offset, r.length});
        }
        live_refs_ += part->refs_;
    }
    rows.parts_.clear();
}

std::size_t CellStore::MemoryBytes() const {
    std::size_t bytes = blocks_.capacity() * sizeof(Block) + block_data_.capacity() * sizeof(const char*);
    for (const Block& b : blocks_) bytes += b.text ? b.text->capacity() : b.size;
    for (const Page& p : pages_) bytes += std::size_t{p.capacity} * sizeof(std::uint64_t);
    bytes += pages_.capacity() * sizeof(Page);
    bytes += long_refs_.capacity() * sizeof(LongRef);
    for (const auto& sp : slot_pages_) {
        if (sp) bytes += kSlotPageSize * sizeof(std::uint64_t);
    }
    bytes += slot_pages_.capacity() * sizeof(slot_pages_[0]);
    return bytes;
}

}  // namespace tarnwell
