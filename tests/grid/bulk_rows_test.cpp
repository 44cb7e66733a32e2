// Rows built in parts on several threads and handed to a grid at once: the grid then reads, and lets
// the program write, exactly what a cell-by-cell fill would have given.

#include "grid/bulk_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "grid/table_grid.h"
#include "grid/table_grid_error.h"

namespace tarnwell {
namespace {

using Model = std::map<std::pair<int, int>, std::string>;  // (row, col) -> text

// Every cell of the rows, up to two columns past the widest row of the model near it.
void ExpectSame(const TTableGrid& grid, const Model& model, int rows, int min_cols) {
    std::vector<int> width(static_cast<std::size_t>(rows), min_cols);
    for (const auto& [cell, text] : model) {
        int& w = width[static_cast<std::size_t>(cell.first)];
        w = std::max(w, cell.second + 2);
    }
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < width[static_cast<std::size_t>(row)]; ++col) {
            const auto it = model.find({row, col});
            ASSERT_EQ(grid.GetCellEx(col, row), it == model.end() ? "" : it->second) << "col " << col << " row " << row;
        }
    }
}

// Random rows of a large block: most short, some without cells, some wider than a part's page, some with
// a text too long for a short reference; three parts, one of them empty, written on three threads.
TEST(BulkRows, GridReadsAndWritesTheRowsAsIfFilledCellByCell) {
    std::mt19937 random(17);
    auto bytes = std::make_shared<std::string>(std::size_t{1} << 20, ' ');
    for (char& c : *bytes) c = static_cast<char>('a' + random() % 26);
    constexpr int kRows = 12000;
    constexpr int kWide = 3000;

    std::vector<std::vector<TextSlice>> rows(kRows);
    Model model;
    for (int row = 0; row < kRows; ++row) {
        const unsigned kind = random() % 100;
        const std::size_t cells = kind < 5 ? 0 : kind == 5 ? kWide : 1 + random() % 8;
        for (std::size_t col = 0; col < cells; ++col) {
            const std::size_t length = kind == 6 && col == 0 ? (std::size_t{200} << 10) : random() % 12;
            const std::size_t offset = random() % (bytes->size() - length);
            rows[static_cast<std::size_t>(row)].push_back({offset, length});
            if (length > 0) model[{row, static_cast<int>(col)}] = bytes->substr(offset, length);
        }
    }

    BulkRows bulk(bytes, *bytes, kRows);
    const std::vector<int> first_rows = {0, 4000, 4000, 9000};
    bulk.Split(first_rows);
    bulk.ExpectCells(kRows * 5);
    std::vector<std::thread> threads;
    for (std::size_t p = 0; p < bulk.PartCount(); ++p) {
        threads.emplace_back([&, p] {
            BulkRows::Part& part = bulk.part(p);
            for (int row = part.FirstRow(); row < part.EndRow(); ++row) {
                part.SetRow(row, rows[static_cast<std::size_t>(row)]);
            }
        });
    }
    for (std::thread& t : threads) t.join();

    TTableGrid grid(5, 5);
    grid.SetCellEx(1, 3, "from before");
    grid.AddCheckBox(0, 1, true);
    grid.LoadRows(std::move(bulk));
    bool state = false;
    EXPECT_FALSE(grid.GetCheckBoxState(0, 1, state));
    ExpectSame(grid, model, kRows, 14);

    // Writes after the load: over texts, past a row's end (the row grows or moves), on empty rows; enough
    // of them that the store repacks its rows and copies its texts, leaving the load's pages behind.
    for (int i = 0; i < 150000; ++i) {
        const int row = static_cast<int>(random() % kRows);
        const int col = static_cast<int>(random() % 12);
        const std::string text = "w" + std::to_string(i);
        grid.SetCellEx(col, row, text);
        model[{row, col}] = text;
    }
    ExpectSame(grid, model, kRows, 14);
}

TEST(BulkRows, RefusesRowsOutOfTheirPartAndSlicesOutOfTheBytes) {
    auto bytes = std::make_shared<std::string>("alpha\tbeta");
    BulkRows bulk(bytes, *bytes, 10);
    EXPECT_THROW(bulk.Split(std::vector<int>{1, 5}), ETableGridError);     // the first part starts at row 0
    EXPECT_THROW(bulk.Split(std::vector<int>{0, 6, 5}), ETableGridError);  // parts in order
    bulk.Split(std::vector<int>{0, 5});
    const std::vector<TextSlice> good = {{0, 5}, {6, 4}};
    bulk.part(0).SetRow(2, good);
    EXPECT_THROW(bulk.part(0).SetRow(2, good), ETableGridError);  // not after the previous row
    EXPECT_THROW(bulk.part(0).SetRow(5, good), ETableGridError);  // the next part's row
    EXPECT_THROW(bulk.part(1).SetRow(9, std::vector<TextSlice>{{6, 5}}), ETableGridError);
    bulk.part(1).SetRow(9, good);

    TTableGrid grid;
    grid.LoadRows(std::move(bulk));
    EXPECT_EQ(grid.GetCellEx(1, 2), "beta");
    EXPECT_EQ(grid.GetCellEx(0, 9), "alpha");
    EXPECT_EQ(grid.GetCellEx(0, 5), "");
}

}  // namespace
}  // namespace tarnwell
