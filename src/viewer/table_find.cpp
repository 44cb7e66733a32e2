#include "viewer/table_find.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <vector>

#include "viewer/folded_match.h"
#include "viewer/grid_rows.h"
#include "viewer/parallel_tasks.h"

namespace tarnwell {
namespace {

// The rows searched, in order: position p is grid row Row(p).
class SearchedRows {
public:
    SearchedRows(const TTableGrid& grid, const RowFilter* shown) : shown_(shown) {
        const int fixed = grid.FixedRows();
        if (shown_ == nullptr) {
            first_ = std::min(fixed, grid.RowCount());
            count_ = grid.RowCount() - first_;
        } else {
            // The filter lists the fixed rows first.
            const auto rows = shown_->Rows();
            first_ = static_cast<int>(std::lower_bound(rows.begin(), rows.end(), fixed) - rows.begin());
            count_ = shown_->Count() - first_;
        }
    }
    int Count() const { return count_; }
    int Row(int position) const { return shown_ == nullptr ? first_ + position : shown_->RealRow(first_ + position); }
    // The position of a grid row, or -1 when it is not searched.
    int PositionOf(int row) const {
        if (shown_ == nullptr) return row >= first_ && row < first_ + count_ ? row - first_ : -1;
        const std::optional<int> at = shown_->ShownRow(row);
        return at && *at >= first_ ? *at - first_ : -1;
    }

private:
    const RowFilter* shown_;
    int first_ = 0;
    int count_ = 0;
};

// The steps of a search: one per searched row, in the order they are searched, and, when the search
// starts inside a row, that row twice: first its cells after the start, last those up to it.
class SearchSteps {
public:
    SearchSteps(const SearchedRows& rows, int cols, GridCell from, FindDirection direction)
        : rows_(rows), cols_(cols), next_(direction == FindDirection::kNext) {
        const int position = from.col >= 0 && from.col < cols ? rows.PositionOf(from.row) : -1;
        if (position >= 0) {
            start_ = position;
            start_col_ = from.col;
        }
    }
    int Count() const { return rows_.Count() + (start_ >= 0 ? 1 : 0); }

    struct Step {
        int row;
        int first_col;  // display columns [first_col, end_col), searched from the first (next) or last
        int end_col;
        bool wrapped;
    };
    Step At(int s) const {
        const int n = rows_.Count();
        if (start_ < 0) return {rows_.Row(next_ ? s : n - 1 - s), 0, cols_, false};
        const int row = rows_.Row(start_);
        if (s == 0) return next_ ? Step{row, start_col_ + 1, cols_, false} : Step{row, 0, start_col_, false};
        if (s == n) return next_ ? Step{row, 0, start_col_ + 1, true} : Step{row, start_col_, cols_, true};
        const int position = next_ ? (start_ + s) % n : (start_ - s + n) % n;
        return {rows_.Row(position), 0, cols_, next_ ? position < start_ : position > start_};
    }

private:
    const SearchedRows& rows_;
    int cols_;
    bool next_;
    int start_ = -1;
    int start_col_ = 0;
};

}  // namespace

std::optional<FoundCell> FindCell(const TTableGrid& grid, const FindRequest& request, GridCell from,
                                  const RowFilter* shown) {
    const FoldedText wanted(request.text);
    if (wanted.Empty()) return std::nullopt;
    const bool whole = request.scope == FindScope::kWholeCell;
    const bool next = request.direction == FindDirection::kNext;
    const std::vector<int> columns = grid.VisibleRealColumns();
    const int cols = static_cast<int>(columns.size());
    const SearchedRows rows(grid, shown);
    const SearchSteps steps(rows, cols, from, request.direction);

    // The steps in blocks that the threads take in order; the match of the earliest block wins, and a
    // block after one that has matched is not searched.
    const RowBlocks blocks(0, steps.Count());
    std::vector<FoundCell> found(blocks.Count());
    std::vector<char> matched(blocks.Count(), 0);
    std::atomic<std::size_t> first_matched{SIZE_MAX};
    RunTasks(blocks.Count(), ThreadsFor(blocks.Bytes(grid)), [&](std::size_t block, bool) {
        for (int s = blocks.First(block); s < blocks.End(block); ++s) {
            if (first_matched.load(std::memory_order_relaxed) < block) return;
            const SearchSteps::Step step = steps.At(s);
            for (int i = 0; i < step.end_col - step.first_col; ++i) {
                const int col = next ? step.first_col + i : step.end_col - 1 - i;
                const std::string_view cell = grid.GetCellEx(columns[static_cast<std::size_t>(col)], step.row);
                if (whole ? wanted.Equals(cell) : wanted.FoundIn(cell)) {
                    found[block] = FoundCell{{col, step.row}, step.wrapped};
                    matched[block] = 1;
                    std::size_t seen = first_matched.load();
                    while (block < seen && !first_matched.compare_exchange_weak(seen, block)) {
                    }
                    return;
                }
            }
        }
    });
    for (std::size_t block = 0; block < blocks.Count(); ++block) {
        if (matched[block]) return found[block];
    }
    return std::nullopt;
}

}  // namespace tarnwell
