#include "grid/cell_store.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>

#include "grid/table_grid_error.h"

namespace tarnwell {
namespace {

using Model = std::map<std::pair<int, int>, std::string>;  // (row, col) -> text

void ExpectSame(const CellStore& store, const Model& model, int cols, int rows) {
    for (int row = 0; row < rows; ++row) {
        CellStore::RowView view = store.Row(row);
        for (int col = 0; col < cols; ++col) {
            auto it = model.find({row, col});
            std::string_view want = it == model.end() ? std::string_view() : std::string_view(it->second);
            ASSERT_EQ(store.Get(col, row), want) << "col " << col << " row " << row;
            ASSERT_EQ(view.Text(static_cast<std::size_t>(col)), want) << "col " << col << " row " << row;
        }
    }
}

std::string RandomText(std::mt19937& rng, std::size_t length) {
    std::string text(length, ' ');
    for (char& c : text) c = static_cast<char>('a' + rng() % 26);
    return text;
}

// Writing orders that take every path of the store: rows in order grow in place, columns first move
// every row many times, random order mixes both; overwrites make arena garbage.
TEST(CellStore, AgreesWithASimpleMapInAnyWritingOrder) {
    enum Order { kRowsFirst, kColumnsFirst, kRandom };
    for (Order order : {kRowsFirst, kColumnsFirst, kRandom}) {
        SCOPED_TRACE(order);
        const int rows = 1500, cols = 60;
        std::mt19937 rng(42 + order);
        CellStore store;
        Model model;
        std::string block = RandomText(rng, 100000);
        CellStore::BlockId id = store.Adopt(block);
        auto write = [&](int col, int row) {
            std::string text;
            switch (rng() % 8) {
                case 0:
                    text.clear();
                    break;
                case 1: {
                    std::size_t offset = rng() % 99000, length = rng() % 1000;
                    store.SetSlice(col, row, id, offset, length);
                    model[{row, col}] = block.substr(offset, length);
                    if (length == 0) model.erase({row, col});
                    return;
                }
                default:
                    text = RandomText(rng, rng() % 40);
                    break;
            }
            store.Set(col, row, text);
            if (text.empty()) {
                model.erase({row, col});
            } else {
                model[{row, col}] = text;
            }
        };
        for (int pass = 0; pass < 3; ++pass) {
            if (order == kRowsFirst) {
                for (int row = 0; row < rows; ++row)
                    for (int col = 0; col < cols; ++col) write(col, row);
            } else if (order == kColumnsFirst) {
                for (int col = 0; col < cols; ++col)
                    for (int row = 0; row < rows; ++row) write(col, row);
            } else {
                for (int i = 0; i < rows * cols; ++i)
                    write(static_cast<int>(rng() % cols), static_cast<int>(rng() % rows));
            }
            ExpectSame(store, model, cols + 1, rows + 1);
        }
        // Three passes over ~1 MB of live data leave ~2 MB garbage; collection keeps the store near
        // its live size rather than growing with every pass.
        EXPECT_LT(store.MemoryBytes(), std::size_t{12} << 20);
    }
}

TEST(CellStore, OverwritingOneCellForeverStaysSmall) {
    CellStore store;
    std::string text(1000, 'x');
    for (int i = 0; i < 20000; ++i) {
        text[0] = static_cast<char>('a' + i % 26);
        store.Set(3, 5, text);
    }
    EXPECT_EQ(store.Get(3, 5), text);
    EXPECT_LT(store.MemoryBytes(), std::size_t{4} << 20);
}

TEST(CellStore, LongTextsWideRowsAndFarRows) {
    CellStore store;
    const std::string medium(20000, 'm');  // a block of its own
    const std::string large(300000, 'L');  // longer than a packed reference can say
    std::string adopted = "head" + large + "tail";
    CellStore::BlockId id = store.Adopt(adopted);
    store.Set(0, 0, medium);
    store.Set(1, 0, large);
    store.SetSlice(2, 0, id, 4, large.size());
    store.Set(70000, 1, "far right");  // a row with a page of its own
    for (int col = 0; col < 70000; col += 7) store.Set(col, 1, std::to_string(col));
    store.Set(0, 2000000000, "far down");
    EXPECT_EQ(store.Get(0, 0), medium);
    EXPECT_EQ(store.Get(1, 0), large);
    EXPECT_EQ(store.Get(2, 0), large);
    EXPECT_EQ(store.Get(70000, 1), "far right");
    EXPECT_EQ(store.Get(69999, 1), "");
    EXPECT_EQ(store.Get(69993, 1), "69993");
    EXPECT_EQ(store.Get(0, 2000000000), "far down");
    EXPECT_EQ(store.Row(1).Size(), 70001u);

    // Overwriting long texts frees their entries for reuse; the texts stay right.
    for (int i = 0; i < 50; ++i) store.Set(1, 0, large + std::to_string(i));
    EXPECT_EQ(store.Get(1, 0), large + "49");
    EXPECT_EQ(store.Get(2, 0), large);
}

TEST(CellStore, WideRowGrowsColumnByColumnWithoutKeepingOldPlaces) {
    CellStore store;
    const std::uint32_t cols = 300000;
    for (std::uint32_t col = 0; col < cols; ++col) store.Set(static_cast<int>(col), 5, "c");
    EXPECT_EQ(store.Row(5).Size(), cols);
    EXPECT_EQ(store.Get(static_cast<int>(cols) - 1, 5), "c");
    // The row's final page, at most twice its size, and no earlier ones.
    EXPECT_LT(store.MemoryBytes(), std::size_t{cols} * 8 * 2 + (std::size_t{512} << 10));
}

TEST(CellStore, TextMayBeAViewOfTheStoreItself) {
    CellStore store;
    store.Set(0, 0, "original");
    for (int i = 0; i < 5000; ++i) store.Set(0, 0, store.Get(0, 0));  // old bytes become garbage each time
    EXPECT_EQ(store.Get(0, 0), "original");
    store.Set(1, 0, store.Get(0, 0).substr(2));
    EXPECT_EQ(store.Get(1, 0), "iginal");
    store.Set(0, 0, store.Get(0, 0).substr(2, 4));  // shorter: written over its own bytes
    EXPECT_EQ(store.Get(0, 0), "igin");
    EXPECT_EQ(store.Get(1, 0), "iginal");
}

// A table written again with texts no longer than before (a refresh of the same or smaller figures)
// takes the old texts' places: the store does not grow, and no other cell changes.
TEST(CellStore, RewritingWithTextsNoLongerGrowsNothing) {
    CellStore store;
    Model model;
    const int rows = 2000, cols = 8;
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) {
            model[{row, col}] = std::to_string(row * 1000 + col) + " kb.";
            store.Set(col, row, model[{row, col}]);
        }
    }
    const std::size_t before = store.MemoryBytes();
    for (int pass = 0; pass < 5; ++pass) {
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < cols; ++col) {
                std::string& text = model[{row, col}];
                text = (row + col + pass) % 3 == 0 ? text.substr(0, text.size() - 1) : text;  // some shorter
                if (!text.empty()) text[0] = static_cast<char>('a' + pass);
                store.Set(col, row, text);
            }
        }
        ExpectSame(store, model, cols + 1, rows + 1);
    }
    EXPECT_EQ(store.MemoryBytes(), before);
}

TEST(CellStore, EmptyWritesAllocateNothing) {
    CellStore store;
    std::size_t before = store.MemoryBytes();
    store.Set(5000000, 0, "");
    EXPECT_EQ(store.Row(0).Size(), 0u);
    EXPECT_LT(store.MemoryBytes() - before, std::size_t{64} << 10);
}

TEST(CellStore, RowOfSlicesMatchesSlicesOneByOne) {
    const std::string text = "alpha\tbeta\tgamma";
    const std::vector<TextSlice> slices = {{0, 5}, {6, 4}, {11, 5}, {5, 0}};
    CellStore by_row, by_cell;
    CellStore::BlockId row_block = by_row.Adopt(text);
    CellStore::BlockId cell_block = by_cell.Adopt(text);
    by_row.Set(7, 2, "kept");   // a row with a cell already takes the general path
    by_cell.Set(7, 2, "kept");
    for (int row : {1, 2}) {
        by_row.SetRowSlices(row, row_block, slices);
        for (std::size_t col = 0; col < slices.size(); ++col) {
            by_cell.SetSlice(static_cast<int>(col), row, cell_block, slices[col].offset, slices[col].length);
        }
    }
    for (int row : {0, 1, 2, 3}) {
        EXPECT_EQ(by_row.Row(row).Size(), by_cell.Row(row).Size()) << row;
        for (int col = 0; col < 9; ++col) EXPECT_EQ(by_row.Get(col, row), by_cell.Get(col, row)) << col << "," << row;
    }
    EXPECT_EQ(by_row.Get(2, 1), "gamma");
    EXPECT_EQ(by_row.Get(7, 2), "kept");
    // Refused as a whole, before any cell changes: a range beyond the block.
    EXPECT_THROW(by_row.SetRowSlices(5, row_block, std::vector<TextSlice>{{0, 1}, {15, 2}}), ETableGridError);
    EXPECT_EQ(by_row.Row(5).Size(), 0u);
}

TEST(CellStore, BadWritesAreRefused) {
    CellStore store;
    CellStore::BlockId id = store.Adopt("abc");
    EXPECT_THROW(store.Set(-1, 0, "x"), ETableGridError);
    EXPECT_THROW(store.Set(CellStore::kMaxColumns, 0, "x"), ETableGridError);
    EXPECT_THROW(store.SetSlice(0, 0, id, 4, 0), ETableGridError);
    EXPECT_THROW(store.SetSlice(0, 0, id, 1, 3), ETableGridError);
    EXPECT_THROW(store.SetSlice(0, 0, id + 1, 0, 1), ETableGridError);
    store.Set(0, 0, "owned");  // makes an arena block, which is not the callers' to slice
    EXPECT_THROW(store.SetSlice(0, 1, id + 1, 0, 1), ETableGridError);
    store.SetSlice(0, 1, id, 3, 0);
    EXPECT_EQ(store.Get(0, 1), "");
}

}  // namespace
}  // namespace tarnwell
