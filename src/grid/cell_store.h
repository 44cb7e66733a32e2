#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/bulk_memory.h"
#include "grid/cell_ref.h"
#include "grid/text_slice.h"

namespace tarnwell {
class BulkRows;
}

namespace tarnwell {

// The texts of a grid's cells, addressed by (column, row), sparse and independent of any counts.
//
// Built for a log viewer that puts a gigabyte file into ten million cells and reads them back row by
// row, so there is no heap node per cell and no container per row:
//
// - Text bytes live in blocks. A caller may hand over a whole block (Adopt), or an owner of bytes kept
//   elsewhere (a file's snapshot), and point cells at slices of it without copying; texts set one by one
//   (Set) are copied into an append-only arena made of blocks of growing size, which never move, so a
//   text's address is stable while its block lives.
// - Each cell is one 8-byte reference: 0 for empty, else block, offset and length packed together.
//   A reference too big to pack (a text of 128 KB or more, an offset beyond 16 GB, a block number
//   beyond 4095) is an index into a side list of long references instead.
// - A row's references sit side by side, column 0 first, in shared pages of references; a row slot
//   (8 bytes per row, itself in pages of 4096 so untouched stretches of rows cost nothing) says where.
//   A row filled in column order grows in place at the end of its page; a row that has to grow
//   elsewhere moves to the end, leaving its old place as garbage. Rows of many thousands of columns
//   get a page of their own that grows geometrically.
// - Garbage is collected when it outweighs what is alive: overwritten arena texts by copying the live
//   texts into fresh blocks, abandoned reference space by repacking the rows in order. A text set over
//   an arena text at least as long takes its place, leaving only the difference as garbage. Both run in
//   time proportional to the store, after at least as much work has made the garbage, so a loop of
//   overwrites costs amortised constant time per write and memory stays within about twice the data.
//
// Views returned by Get stay valid until the store is next changed.
class CellStore {
public:
    using BlockId = std::uint32_t;

    // Columns from this one up cannot be written (a row slot has 26 bits for its size).
    static constexpr int kMaxColumns = (1 << 26) - 1;

    CellStore();
    ~CellStore();
    CellStore(const CellStore&) = delete;
    CellStore& operator=(const CellStore&) = delete;

    // Empty for a cell never written and for negative coordinates.
    std::string_view Get(int col, int row) const;

    // Copies the text into the store's own arena. The text may be a view of this store.
    // Throws ETableGridError for negative coordinates or a column from kMaxColumns up.
    void Set(int col, int row, std::string_view text);

    // Keeps the block until Clear; returns its number for SetSlice.
    BlockId Adopt(std::string block);
    // The same for bytes kept elsewhere: `owner` keeps them alive, and the store keeps `owner` until Clear.
    BlockId Adopt(std::shared_ptr<const void> owner, std::string_view bytes);
    // The bytes of an adopted block. Throws ETableGridError for an unknown block.
    std::string_view Adopted(BlockId block) const;
    // Points the cell at bytes [offset, offset + length) of an adopted block. Throws ETableGridError
    // for bad coordinates, an unknown block or a range outside it.
    void SetSlice(int col, int row, BlockId block, std::size_t offset, std::size_t length);
    using Slice = TextSlice;
    // Points cells 0 to slices.size() - 1 of the row at the slices, as SetSlice would one by one. On a
    // row never written (every row of a fresh load) the row is placed once and filled in one pass.
    void SetRowSlices(int row, BlockId block, std::span<const Slice> slices);

    // Drops every text and block.
    void Clear();

    // Drops every text and block, then takes the rows built apart (grid/bulk_rows.h): their bytes become
    // block 0, their pages and slots the store's.
    void TakeRows(BulkRows&& rows);

    // One row's cells for reading many of them in turn: the hot path of writers and column fitting.
    class RowView {
    public:
        // Columns from Size() up are empty.
        std::size_t Size() const { return size_; }
        std::string_view Text(std::size_t col) const {
            return col < size_ ? store_->Resolve(refs_[col]) : std::string_view();
        }

    private:
        friend class CellStore;
        RowView(const CellStore* store, const std::uint64_t* refs, std::size_t size)
            : store_(store), refs_(refs), size_(size) {}
        const CellStore* store_;
        const std::uint64_t* refs_;
        std::size_t size_;
    };
    RowView Row(int row) const;

    // Bytes held: texts (owned and adopted), references, row slots. For benchmarks and diagnostics.
    std::size_t MemoryBytes() const;

private:
    // An arena block owns its text; an adopted block's bytes are kept by its owner. Both are nothing
    // once given back (a compacted arena block).
    struct Block {
        std::unique_ptr<std::string> text;
        std::shared_ptr<const void> owner;
        std::size_t size = 0;  // of an adopted block
        bool arena = false;
    };
    struct Page {
        cell_ref::RefArray refs;
        std::uint32_t capacity = 0;
        std::uint32_t used = 0;
        bool own = false;  // holds one wide row, at its start
    };
    struct LongRef {
        BlockId block = 0;
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
    };

    std::string_view Resolve(std::uint64_t ref) const;
    std::uint64_t MakeRef(BlockId block, std::uint64_t offset, std::uint64_t length);
    bool IsArenaRef(std::uint64_t ref) const;
    std::uint64_t RefLength(std::uint64_t ref) const;
    void Release(std::uint64_t ref);

    std::uint64_t Slot(int row) const;
    std::uint64_t& SlotForWrite(int row);
    std::uint64_t& CellForWrite(int col, int row);
    void Store(int col, int row, std::uint64_t ref);
    std::uint64_t PlaceRow(std::uint32_t size, std::uint32_t old_size);

    BlockId NewBlock(Block block, const char* data);
    BlockId NewArenaBlock(std::unique_ptr<std::string> text);
    std::uint64_t CopyIntoArena(std::string_view text);
    bool OverwriteInPlace(int col, int row, std::string_view text);

    void MaybeCompactArena();
    void MaybeCompactRows();
    void CompactArena();
    void CompactRows();

    std::vector<Block> blocks_;
    std::vector<const char*> block_data_;  // blocks_[i].text->data(), for reading without a second hop
    std::vector<BlockId> free_blocks_;

    // Arena: the block being filled and its accounting.
    BlockId arena_block_ = 0;
    bool has_arena_block_ = false;
    std::size_t arena_reserved_ = 0;  // capacity of every arena block, for the size of the next one
    std::size_t arena_live_ = 0;      // bytes of arena texts that cells refer to
    std::size_t arena_garbage_ = 0;   // bytes of arena texts no cell refers to any more

    std::vector<LongRef> long_refs_;
    std::vector<std::uint64_t> free_long_refs_;

    std::vector<Page> pages_;
    std::uint32_t current_page_ = 0;
    bool has_current_page_ = false;
    std::size_t live_refs_ = 0;     // sum of row sizes
    std::size_t garbage_refs_ = 0;  // reference space left behind by rows that moved

    std::vector<cell_ref::RefArray> slot_pages_;
    // What a bulk load's pages and slot pages were cut from (TakeRows): kept until Clear, the pages'
    // until the rows are repacked into pages of their own.
    BulkMemory page_memory_;
    BulkMemory slot_memory_;
};

}  // namespace tarnwell
