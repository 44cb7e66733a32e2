#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string_view>
#include <vector>

#include "files/bulk_memory.h"
#include "grid/text_slice.h"

namespace tarnwell {

class CellStore;

// The rows of a fresh table, built in parts on several threads and then handed to a grid whole
// (TTableGrid::LoadRows): how the log viewer fills a table on every core.
//
// Every text is a slice of one block of bytes, which the grid keeps once it takes the rows (with the
// block's owner, which keeps the bytes alive). The rows are split into parts, each a range of rows that
// one thread writes, row after row, in the cell store's own form: references packed as the store keeps
// them, in pages of the part's own, and row slots in the store's slot pages, which the parts share (each
// row's slot is written by its part alone). The grid takes the pages and slots as they are; only the page
// numbers of the later parts are moved on, since each part counts its pages from 0.
//
//     BulkRows rows(owner, bytes, row_count);
//     rows.Split(first_rows);                        // on the calling thread
//     ... on each thread: rows.part(i).SetRow(row, slices) for the part's rows in order ...
//     grid.LoadRows(std::move(rows));                // on the calling thread, once every thread is done
class BulkRows {
public:
    // Rows 0 to row_count - 1 (at least 0), with their texts in `bytes`, which `owner` keeps alive.
    BulkRows(std::shared_ptr<const void> owner, std::string_view bytes, int row_count);
    ~BulkRows();
    // The parts point back to their rows: the rows stay where they were made.
    BulkRows(BulkRows&&) = delete;
    BulkRows& operator=(BulkRows&&) = delete;
    BulkRows(const BulkRows&) = delete;
    BulkRows& operator=(const BulkRows&) = delete;

    std::string_view Bytes() const { return bytes_; }
    int RowCount() const { return row_count_; }

    // One thread's share of the rows.
    class Part {
    public:
        // Sets cells 0 to slices.size() - 1 of the row to slices of the bytes. The rows of a part come in
        // increasing order; rows passed over stay empty, and empty cells after a row's last text take no
        // room. Throws ETableGridError for a row outside the part or not after the previous one, a slice
        // outside the bytes, or a row of more than 2^26 - 1 cells.
        void SetRow(int row, std::span<const TextSlice> slices);

        int FirstRow() const { return first_row_; }
        int EndRow() const { return end_row_; }

        // Parts are made by Split alone, which passes this.
        class Made {
            friend class BulkRows;
            Made() = default;
        };
        Part(Made, BulkRows& rows, int first_row, int end_row)
            : rows_(&rows), first_row_(first_row), end_row_(end_row) {}

    private:
        friend class BulkRows;
        friend class CellStore;
        struct Page {
            std::uint64_t* refs = nullptr;
            std::uint32_t capacity = 0;
            std::uint32_t used = 0;
            bool own = false;  // holds one wide row
        };
        struct LongRef {
            std::uint64_t offset = 0;
            std::uint64_t length = 0;
            int row = 0;
            std::uint32_t col = 0;
        };
        std::uint64_t* PlaceRow(std::uint32_t size, std::uint64_t& slot);
        std::uint64_t& SlotOf(int row);

        BulkRows* rows_;
        int first_row_;
        int end_row_;
        int next_row_ = -1;  // below this the part's rows are written
        static constexpr std::size_t kNoPage = ~std::size_t{0};
        std::vector<Page> pages_;
        std::size_t shared_page_ = kNoPage;  // the page that rows share, being filled
        std::vector<LongRef> long_refs_;
        std::size_t refs_ = 0;  // cells of the part's rows
    };

    // Splits the rows into parts: part i starts at first_rows[i] and ends where the next part starts, the
    // last at RowCount(). The first part starts at row 0 and each later one after the one before (an
    // empty part, starting where the next one does, is allowed). Once, before any thread writes. Throws
    // ETableGridError for first rows out of that order.
    void Split(std::span<const int> first_rows);

    // A hint, before the threads start: the rows will hold about this many cells, whose references are
    // then taken from one stretch of memory.
    void ExpectCells(std::size_t count);
    std::size_t PartCount() const { return parts_.size(); }
    Part& part(std::size_t index) { return *parts_[index]; }

private:
    friend class CellStore;
    std::shared_ptr<const void> owner_;
    std::string_view bytes_;
    int row_count_;
    std::vector<std::unique_ptr<Part>> parts_;
    // Pages of references and slot pages for the parts, cut from memory that they share (each takes
    // from it under the lock, once per page), so that only the last huge page of each is partly used.
    std::uint64_t* NewMemory(BulkMemory& memory, std::size_t count);
    std::mutex memory_lock_;
    BulkMemory page_memory_;
    BulkMemory slot_memory_;
    // The store's slot pages for the rows: those holding a part's first row are made by Split, the others
    // by the one part whose rows they hold, when it first writes there.
    std::vector<std::uint64_t*> slot_pages_;
};

}  // namespace tarnwell
