// Find, filter and copy over a table: what a window's find bar, filter box and Ctrl+C call.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/cp1251_literal.h"
#include "text/error.h"
#include "viewer/cell_copy.h"
#include "viewer/rows_holding.h"
#include "viewer/table_find.h"

namespace tarnwell {
namespace {

using namespace literals;

// A statistics-like table: a header row, logins, addresses, URLs.
void Fill(TTableGrid& grid) {
    const std::vector<std::vector<std::string>> rows = {
        {"Логин"_cp.data(), "Адрес"_cp.data(), "URL"},
        {"ivanov", "10.0.0.1", "http://ya.ru/Ёлка"_cp.data()},
        {"Петров"_cp.data(), "10.0.0.2", "http://mail.ru"},
        {"IVANOV", "10.0.0.3", "Елка"_cp.data()},
        {"сидоров"_cp.data(), "", "x"},
    };
    grid.SetColCount(3);
    grid.SetRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < 3; ++c)
            grid.SetCellEx(c, r, rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    }
    grid.SetFixedRows(1);
}

constexpr GridCell kNone{-1, -1};
constexpr auto kNext = FindDirection::kNext;
constexpr auto kPrevious = FindDirection::kPrevious;
constexpr auto kPart = FindScope::kPartOfCell;
constexpr auto kWhole = FindScope::kWholeCell;

struct FindCase {
    std::string_view text;  // Windows-1251
    FindScope scope;
    FindDirection direction;
    GridCell from;
    std::optional<GridCell> found;
    bool wrapped;
};

TEST(FindCell, FindsTheNextOrPreviousMatchingCell) {
    const FindCase cases[] = {
        // text, whole cell or part, direction, start, the cell found, whether the search wrapped round
        {"ivanov"_cp, kPart, kNext, kNone, GridCell{0, 1}, false},
        {"ivanov"_cp, kPart, kNext, {0, 1}, GridCell{0, 3}, false},  // IVANOV: case ignored
        {"ivanov"_cp, kPart, kNext, {0, 3}, GridCell{0, 1}, true},
        {"ivanov"_cp, kPart, kPrevious, {0, 3}, GridCell{0, 1}, false},
        {"ivanov"_cp, kPart, kPrevious, {0, 1}, GridCell{0, 3}, true},
        {"ЕЛКА"_cp, kPart, kNext, kNone, GridCell{2, 1}, false},        // Ёлка: Ё as Е, Cyrillic case
        {"елка"_cp, kWhole, kNext, kNone, GridCell{2, 3}, false},       // not part of a longer text
        {"10.0.0"_cp, kPart, kPrevious, kNone, GridCell{1, 3}, false},  // from the last cell back
        {"10.0.0"_cp, kPart, kPrevious, {1, 3}, GridCell{1, 2}, false},
        {"10.0.0"_cp, kPart, kPrevious, {1, 1}, GridCell{1, 3}, true},
        {"петров"_cp, kPart, kNext, {2, 2}, GridCell{0, 2}, true},   // its own row, left of the start
        {"петров"_cp, kPart, kNext, {0, 2}, GridCell{0, 2}, true},   // the only match is the start
        {"ru"_cp, kPart, kNext, {2, 1}, GridCell{2, 2}, false},      // starts after the start cell
        {"ru"_cp, kPart, kPrevious, {0, 2}, GridCell{2, 1}, false},  // right to left, row above
        {"Логин"_cp, kPart, kNext, kNone, std::nullopt, false},      // header rows are not searched
        {""_cp, kPart, kNext, kNone, std::nullopt, false},
        {"ivanov"_cp, kWhole, kNext, {7, 99}, GridCell{0, 1}, false},  // no such cell: from the start
    };
    TTableGrid grid;
    Fill(grid);
    for (const FindCase& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases) + (c.direction == kNext ? " next" : " previous") + " from " +
                     std::to_string(c.from.col) + "," + std::to_string(c.from.row));
        const auto found = FindCell(grid, {std::string(c.text), c.scope, c.direction}, c.from);
        ASSERT_EQ(found.has_value(), c.found.has_value());
        if (!found) continue;
        EXPECT_EQ(found->cell.col, c.found->col);
        EXPECT_EQ(found->cell.row, c.found->row);
        EXPECT_EQ(found->wrapped, c.wrapped);
    }
}

TEST(FindCell, SearchesTheShownColumnsAndTheFilteredRows) {
    TTableGrid grid;
    Fill(grid);
    grid.HideColumn(1);
    EXPECT_FALSE(FindCell(grid, {"10.0.0"}, kNone));
    const auto url = FindCell(grid, {"mail"}, kNone);
    ASSERT_TRUE(url);
    EXPECT_EQ(url->cell.col, 1);  // the display column of real column 2
    grid.UnHideColumnsAll();

    const RowFilter ivanov = RowsHolding(grid, "IvAnOv");
    const auto first = FindCell(grid, {"10.0.0"}, kNone, &ivanov);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->cell.row, 1);
    const auto second = FindCell(grid, {"10.0.0"}, first->cell, &ivanov);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->cell.row, 3);  // row 2 is filtered out
    EXPECT_TRUE(FindCell(grid, {"10.0.0"}, second->cell, &ivanov)->wrapped);
    EXPECT_FALSE(FindCell(grid, {"mail"}, kNone, &ivanov));
}

TEST(RowFilter, ShowsTheHeaderAndTheRowsHoldingTheText) {
    TTableGrid grid;
    Fill(grid);
    grid.SetCellEx(0, 7, "ivanov");  // beyond the row count: not a row of the table
    const RowFilter ivanov = RowsHolding(grid, "IVANOV");
    EXPECT_EQ(std::vector<int>(ivanov.Rows().begin(), ivanov.Rows().end()), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(ivanov.RealRow(2), 3);
    EXPECT_EQ(ivanov.ShownRow(3), 2);
    EXPECT_EQ(ivanov.ShownRow(2), std::nullopt);

    EXPECT_EQ(RowsHolding(grid, "елка"_cp).Count(), 3);  // header, Ёлка, Елка
    EXPECT_EQ(RowsHolding(grid, "").Count(), 5);
    EXPECT_EQ(RowsHolding(grid, "nobody").Count(), 1);
    grid.HideColumn(1);
    EXPECT_EQ(RowsHolding(grid, "10.0.0.2").Count(), 1);  // only in a hidden column
}

// Over a table of many blocks of rows, searched on several threads: the same answers as cell by cell.
TEST(FindCell, LargeTableAgreesWithASearchCellByCell) {
    constexpr int kRows = 100000;
    TTableGrid grid(3, kRows);
    std::mt19937 random(5);
    std::vector<std::vector<std::string>> cells(kRows, std::vector<std::string>(3));
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < 3; ++c) {
            std::string& text = cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            text = "cell" + std::to_string(random() % 50000);
            if (random() % 20000 == 0) text += "Needle";
            grid.SetCellEx(c, r, text);
        }
    }
    auto matches = [](const std::string& text) { return text.find("Needle") != std::string::npos; };
    std::vector<GridCell> expected;
    for (int r = 1; r < kRows; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (matches(cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])) expected.push_back({c, r});
        }
    }
    ASSERT_GE(expected.size(), 3u);

    GridCell at = kNone;
    for (const GridCell& want : expected) {
        const auto found = FindCell(grid, {"nEEDLE"}, at);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->cell.row, want.row);
        EXPECT_EQ(found->cell.col, want.col);
        at = found->cell;
    }
    EXPECT_TRUE(FindCell(grid, {"needle"}, at)->wrapped);
    const auto last = FindCell(grid, {"needle", kPart, kPrevious}, kNone);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->cell.row, expected.back().row);
    EXPECT_FALSE(FindCell(grid, {"needles"}, kNone));

    const RowFilter filter = RowsHolding(grid, "needle");
    std::vector<int> rows = {0};
    for (const GridCell& cell : expected) {
        if (rows.back() != cell.row) rows.push_back(cell.row);
    }
    EXPECT_EQ(std::vector<int>(filter.Rows().begin(), filter.Rows().end()), rows);
}

TEST(CopyCells, GivesTheSelectionAsTabSeparatedRows) {
    TTableGrid grid;
    Fill(grid);
    grid.SetCellEx(2, 4, "a\tb\r\nc");
    EXPECT_EQ(CopyCells(grid, {0, 1, 1, 2}), "ivanov\t10.0.0.1\r\n" + std::string("Петров"_cp) + "\t10.0.0.2\r\n");
    EXPECT_EQ(CopyCells(grid, {1, 2, 0, 1}), CopyCells(grid, {0, 1, 1, 2}));  // corners either way round
    EXPECT_EQ(CopyCells(grid, {1, 4, 9, 9}), "\ta b  c\r\n");                 // cut to the table; no TAB kept
    EXPECT_EQ(CopyCells(grid, {5, 0, 6, 1}), "");
    grid.HideColumn(1);
    EXPECT_EQ(CopyCells(grid, {0, 3, 1, 3}), "IVANOV\t" + std::string("Елка"_cp) + "\r\n");
    const RowFilter ivanov = RowsHolding(grid, "ivanov");
    EXPECT_EQ(CopyCells(grid, {0, 1, 0, 2}, &ivanov), "ivanov\r\nIVANOV\r\n");
}

TEST(CopyCells, RefusesMoreThanItCanHand) {
    TTableGrid grid(3, 2);
    const auto block = grid.AdoptText(std::string(22 << 20, 'x'));
    for (int c = 0; c < 3; ++c) grid.SetCellSlice(c, 1, block, 0, 22 << 20);
    EXPECT_EQ(CopyCells(grid, {0, 1, 1, 1}).size(), (44u << 20) + 3);
    try {
        CopyCells(grid, {0, 0, 2, 1});
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), std::string("Выделено слишком много ячеек: их текст больше 64 МБ"_cp));
    }
}

}  // namespace
}  // namespace tarnwell
