#include "grid/table_grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwell {
namespace {

std::string Text(int col, int row) {
    return std::to_string(col) + ":" + std::to_string(row);
}

void FillTexts(TTableGrid& grid, int cols, int rows) {
    for (int row = 0; row < rows; ++row) {
        for (int col = 0; col < cols; ++col) grid.SetCellEx(col, row, Text(col, row));
    }
}

std::string ThrownMessage(void (*action)(TTableGrid&), TTableGrid& grid) {
    try {
        action(grid);
    } catch (const ETableGridError& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

TEST(TableGridCounts, SettingCountsKeepsFixedBelowThem) {
    struct Case {
        const char* name;
        int rows, fixed_rows, new_rows;
        int want_rows, want_fixed;
    };
    const Case cases[] = {
        {"below one", 5, 1, 0, 1, 0},
        {"negative", 5, 1, -7, 1, 0},
        {"one leaves no fixed row", 5, 1, 1, 1, 0},
        {"at the fixed count", 10, 5, 5, 5, 4},
        {"below the fixed count", 10, 5, 3, 3, 2},
        {"above the fixed count", 10, 5, 6, 6, 5},
        {"growing", 5, 1, 50, 50, 1},
        {"same count", 5, 4, 5, 5, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTableGrid rows(3, c.rows);
        rows.SetFixedRows(c.fixed_rows);
        rows.SetRowCount(c.new_rows);
        EXPECT_EQ(rows.RowCount(), c.want_rows);
        EXPECT_EQ(rows.FixedRows(), c.want_fixed);

        // Columns follow the same rule with the fixed columns.
        TTableGrid cols(c.rows, 3);
        cols.SetFixedCols(c.fixed_rows);
        cols.SetColCount(c.new_rows);
        EXPECT_EQ(cols.ColCount(), c.want_rows);
        EXPECT_EQ(cols.FixedCols(), c.want_fixed);
    }
}

TEST(TableGridCounts, FixedRowLostToACountOfOneDoesNotComeBack) {
    TTableGrid grid(5, 5);
    ASSERT_EQ(grid.FixedRows(), 1);
    grid.SetRowCount(1);
    grid.SetRowCount(5);
    EXPECT_EQ(grid.FixedRows(), 0);
}

TEST(TableGridCounts, FixedCountsOutOfRangeAreRefusedAndKept) {
    TTableGrid grid(4, 3);
    grid.SetFixedCols(1);
    EXPECT_EQ(ThrownMessage([](TTableGrid& g) { g.SetFixedRows(-1); }, grid), "Grid index out of range");
    EXPECT_EQ(ThrownMessage([](TTableGrid& g) { g.SetFixedRows(3); }, grid),
              "Fixed row count must be less than row count");
    EXPECT_EQ(ThrownMessage([](TTableGrid& g) { g.SetFixedCols(-1); }, grid), "Grid index out of range");
    EXPECT_EQ(ThrownMessage([](TTableGrid& g) { g.SetFixedCols(4); }, grid),
              "Fixed column count must be less than column count");
    EXPECT_EQ(grid.FixedRows(), 1);
    EXPECT_EQ(grid.FixedCols(), 1);
    grid.SetFixedRows(2);
    EXPECT_EQ(grid.FixedRows(), 2);
}

TEST(TableGridCells, CellsOutsideTheCountsKeepTextsAndCheckBoxes) {
    TTableGrid grid(2, 5);
    grid.SetCellEx(0, 7, "seven");
    EXPECT_EQ(grid.GetCellEx(0, 7), "seven");
    EXPECT_EQ(grid.RowCount(), 5);

    TTableGrid shrunk(3, 10);
    FillTexts(shrunk, 3, 10);
    shrunk.AddCheckBox(2, 8, true);
    shrunk.SetRowCount(3);
    shrunk.SetColCount(1);
    shrunk.SetRowCount(10);
    shrunk.SetColCount(3);
    for (int row = 0; row < 10; ++row) {
        for (int col = 0; col < 3; ++col) EXPECT_EQ(shrunk.GetCellEx(col, row), Text(col, row));
    }
    bool state = false;
    EXPECT_TRUE(shrunk.GetCheckBoxState(2, 8, state));
    EXPECT_TRUE(state);
}

TEST(TableGridCells, ReadingAnyCellSucceedsAndBadWritesAreRefused) {
    TTableGrid grid;
    EXPECT_EQ(grid.GetCellEx(-1, 0), "");
    EXPECT_EQ(grid.GetCellEx(0, -1), "");
    EXPECT_EQ(grid.GetCellEx(1 << 30, 1 << 30), "");
    EXPECT_EQ(ThrownMessage([](TTableGrid& g) { g.SetCellEx(-1, 0, "x"); }, grid), "Grid index out of range");
    EXPECT_EQ(ThrownMessage([](TTableGrid& g) { g.SetCellEx(0, -1, "x"); }, grid), "Grid index out of range");
    EXPECT_EQ(ThrownMessage([](TTableGrid& g) { g.SetCellEx(1 << 30, 0, "x"); }, grid), "Grid index out of range");
    EXPECT_EQ(ThrownMessage([](TTableGrid& g) { g.AddCheckBox(-1, 0, true); }, grid), "Grid index out of range");
}

TEST(TableGridCells, AdoptedSlicesAndClear) {
    TTableGrid grid;
    auto block = grid.AdoptText("alpha\tbeta\tgamma");
    EXPECT_EQ(grid.AdoptedText(block), "alpha\tbeta\tgamma");
    grid.SetCellSlice(0, 0, block, 0, 5);
    grid.SetCellSlice(1, 0, block, 6, 4);
    grid.SetCellSlice(2, 0, block, 11, 5);
    grid.SetCellEx(3, 0, "own");
    grid.AddCheckBox(3, 0, true);
    EXPECT_EQ(grid.GetCellEx(1, 0), "beta");
    EXPECT_EQ(grid.GetCellEx(2, 0), "gamma");
    EXPECT_THROW(grid.SetCellSlice(0, 1, block, 11, 6), ETableGridError);
    EXPECT_THROW(grid.SetCellSlice(0, 1, block + 1, 0, 1), ETableGridError);

    grid.SetRowCount(9);
    grid.Clear();
    bool state = false;
    EXPECT_EQ(grid.GetCellEx(0, 0), "");
    EXPECT_EQ(grid.GetCellEx(3, 0), "");
    EXPECT_FALSE(grid.GetCheckBoxState(3, 0, state));
    EXPECT_EQ(grid.RowCount(), 9);
    EXPECT_THROW(grid.SetCellSlice(0, 0, block, 0, 1), ETableGridError);
    EXPECT_THROW(grid.AdoptedText(block), ETableGridError);
}

TEST(TableGridCheckBoxes, StateLivesBesideTheText) {
    TTableGrid grid;
    grid.SetCellEx(1, 1, "text");
    bool state = true;
    EXPECT_FALSE(grid.GetCheckBoxState(1, 1, state));
    EXPECT_TRUE(state) << "output touched without a check box";
    state = false;
    EXPECT_FALSE(grid.GetCheckBoxState(-1, 1, state));
    EXPECT_FALSE(grid.SetCheckBoxState(1, 1, true));
    EXPECT_FALSE(grid.GetCheckBoxState(1, 1, state));

    grid.AddCheckBox(1, 1, true);
    grid.AddCheckBox(1, 1, false);  // replaces the first
    EXPECT_TRUE(grid.GetCheckBoxState(1, 1, state));
    EXPECT_FALSE(state);
    EXPECT_TRUE(grid.SetCheckBoxState(1, 1, true));
    EXPECT_TRUE(grid.GetCheckBoxState(1, 1, state));
    EXPECT_TRUE(state);
    EXPECT_EQ(grid.GetCellEx(1, 1), "text");
    EXPECT_FALSE(grid.GetCheckBoxState(1, 2, state) || grid.GetCheckBoxState(2, 1, state));

    EXPECT_TRUE(grid.RemoveCheckBox(1, 1));
    EXPECT_FALSE(grid.RemoveCheckBox(1, 1));
    EXPECT_FALSE(grid.GetCheckBoxState(1, 1, state));
    EXPECT_EQ(grid.GetCellEx(1, 1), "text");
}

class TableGridHiding : public ::testing::Test {
protected:
    // The statistics table's shape: 11 columns, widths 100, 101, ... to tell them apart.
    TableGridHiding() : grid(11, 4) {
        FillTexts(grid, 11, 4);
        for (int d = 0; d < 11; ++d) grid.SetColWidths(d, 100 + d);
    }
    std::vector<int> Widths() const {
        std::vector<int> widths;
        for (int d = 0; d < grid.ColCount(); ++d) widths.push_back(grid.ColWidths(d));
        return widths;
    }
    TTableGrid grid;
};

TEST_F(TableGridHiding, HiddenColumnLeavesTheDisplayButKeepsItsCells) {
    grid.AddCheckBox(4, 2, true);
    grid.HideColumn(4);
    EXPECT_EQ(grid.ColCount(), 10);
    EXPECT_EQ(grid.NumHiddenColumns(), 1);
    EXPECT_TRUE(grid.IsHiddenColumn(4));
    EXPECT_EQ(grid.RealColIndex(3), 3);
    EXPECT_EQ(grid.RealColIndex(4), 5);
    EXPECT_EQ(grid.RealColIndex(9), 10);
    EXPECT_EQ(grid.DisplColIndex(5), 4);
    EXPECT_EQ(grid.DisplColIndex(3), 3);
    EXPECT_EQ(grid.VisibleRealColumns(), (std::vector<int>{0, 1, 2, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Widths(), (std::vector<int>{100, 101, 102, 103, 105, 106, 107, 108, 109, 110}));
    EXPECT_EQ(grid.GetCellEx(4, 2), Text(4, 2));
    bool state = false;
    EXPECT_TRUE(grid.GetCheckBoxState(4, 2, state) && state);

    grid.HideColumn(4);
    EXPECT_EQ(grid.ColCount(), 10);
    EXPECT_EQ(grid.NumHiddenColumns(), 1);
}

TEST_F(TableGridHiding, LastVisibleColumnIsNeverHidden) {
    for (int col = 0; col <= 10; ++col) grid.HideColumn(col);
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.NumHiddenColumns(), 10);
    EXPECT_EQ(grid.RealColIndex(0), 10);
    EXPECT_FALSE(grid.IsHiddenColumn(10));
}

TEST_F(TableGridHiding, OnlyExistingColumnsBelow256CanBeHidden) {
    grid.HideColumn(11);
    grid.HideColumn(-1);
    EXPECT_EQ(grid.NumHiddenColumns(), 0);

    TTableGrid wide(300, 2);
    wide.HideColumn(256);
    EXPECT_EQ(wide.NumHiddenColumns(), 0);
    wide.HideColumn(3);
    EXPECT_EQ(wide.RealColIndex(254), 255);
    EXPECT_EQ(wide.RealColIndex(298), 299);
    EXPECT_EQ(wide.DisplColIndex(299), 298);
    EXPECT_EQ(wide.DisplColIndex(256), 255);
}

TEST_F(TableGridHiding, UnHideRestoresRealOrderAndWidths) {
    grid.HideColumn(5);
    grid.HideColumn(2);
    grid.SetColWidths(0, 77);
    grid.UnHideColumnsAll();
    EXPECT_EQ(grid.ColCount(), 11);
    EXPECT_EQ(grid.NumHiddenColumns(), 0);
    EXPECT_EQ(Widths(), (std::vector<int>{77, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}));
    for (int d = 0; d < 11; ++d) EXPECT_EQ(grid.RealColIndex(d), d);
}

TEST_F(TableGridHiding, HidingDownToTheFixedColumnsMovesThemBelowTheCount) {
    TTableGrid limits(3, 2);
    limits.SetFixedCols(2);
    limits.HideColumn(0);
    EXPECT_EQ(limits.ColCount(), 2);
    EXPECT_EQ(limits.FixedCols(), 1);
}

TEST(TableGridWidths, NewColumnsGetTheDefaultWidth) {
    TTableGrid grid(5, 2);
    grid.SetColWidths(0, 70);
    grid.SetColWidths(4, 126);
    grid.SetColCount(3);
    grid.SetColCount(6);
    EXPECT_EQ(grid.ColWidths(0), 70);
    EXPECT_EQ(grid.ColWidths(4), 64);
    EXPECT_EQ(grid.ColWidths(5), 64);
    EXPECT_THROW(grid.SetColWidths(6, 10), ETableGridError);
}

// Widths distinct per font and per letter, so that a wrong font or a skipped wide text shows.
class TestMeasure final : public TextWidthMeasure {
public:
    int TextWidth(std::string_view text, bool fixed_font) const override {
        int width = 0;
        for (char c : text) width += c == 'W' ? 12 : 5;
        return fixed_font ? width * 2 : width;
    }
    int MaxByteWidth(bool fixed_font) const override { return fixed_font ? 24 : 12; }
};

TEST(TableGridAutoSize, ColumnsFitTheirWidestCellPlusSixteen) {
    TTableGrid grid(5, 5);
    grid.SetFixedCols(1);
    grid.SetColWidths(0, 33);
    grid.SetCellEx(0, 1, "fixed column, not fitted");
    grid.SetCellEx(1, 1, "iiiiii");    // 30
    grid.SetCellEx(1, 2, "WWW");       // 36: shorter but wider
    grid.SetCellEx(1, 3, "ii");        // 10
    grid.SetCellEx(2, 0, "iiiiiiii");  // header row: 2 x 40 in the fixed font
    grid.SetCellEx(2, 1, "WWWWW");     // 60
    grid.AddCheckBox(3, 4, true);      // empty text: the box alone
    grid.SetCellEx(4, 9, "beyond RowCount");
    grid.AutoSize(TestMeasure());
    EXPECT_EQ(grid.ColWidths(0), 33);
    EXPECT_EQ(grid.ColWidths(1), 36 + 16);
    EXPECT_EQ(grid.ColWidths(2), 80 + 16);
    EXPECT_EQ(grid.ColWidths(3), 15 + 16);
    EXPECT_EQ(grid.ColWidths(4), 16);
}

TEST(TableGridAutoSize, FitsDisplayColumnsWithTheirRealTexts) {
    TTableGrid grid(3, 2);
    grid.SetCellEx(0, 1, "aaaa");
    grid.SetCellEx(1, 1, "a");
    grid.SetCellEx(2, 1, "aa");
    grid.AddCheckBox(2, 1, false);
    grid.HideColumn(1);
    grid.GridLineWidth = 2;
    grid.AutoSize();  // 7 pixels a byte
    EXPECT_EQ(grid.ColWidths(0), 28 + 18);
    EXPECT_EQ(grid.ColWidths(1), 15 + 14 + 18);
}

// A view re-reads a grid only when its revision moved: every change must move it, and reading or a
// change refused before it is made must not.
TEST(TableGridRevision, EveryChangeMovesItAndNothingElseDoes) {
    struct Case {
        const char* what;
        void (*action)(TTableGrid&);
        bool moves;
    };
    const Case cases[] = {
        {"SetCellEx", [](TTableGrid& g) { g.SetCellEx(1, 9, "x"); }, true},
        {"SetCellSlice", [](TTableGrid& g) { g.SetCellSlice(0, 1, g.AdoptText("abc"), 0, 2); }, true},
        {"SetRowSlices",
         [](TTableGrid& g) {
             TextSlice slice{0, 1};
             g.SetRowSlices(2, g.AdoptText("z"), {&slice, 1});
         },
         true},
        {"Clear", [](TTableGrid& g) { g.Clear(); }, true},
        {"RowCount", [](TTableGrid& g) { g.SetRowCount(9); }, true},
        {"ColCount", [](TTableGrid& g) { g.SetColCount(2); }, true},
        {"FixedRows", [](TTableGrid& g) { g.SetFixedRows(0); }, true},
        {"FixedCols", [](TTableGrid& g) { g.SetFixedCols(1); }, true},
        {"AddCheckBox", [](TTableGrid& g) { g.AddCheckBox(0, 1, true); }, true},
        {"SetCheckBoxState", [](TTableGrid& g) { g.SetCheckBoxState(0, 2, false); }, true},
        {"RemoveCheckBox", [](TTableGrid& g) { g.RemoveCheckBox(0, 2); }, true},
        {"HideColumn", [](TTableGrid& g) { g.HideColumn(3); }, true},
        {"UnHideColumnsAll", [](TTableGrid& g) { g.UnHideColumnsAll(); }, true},
        {"SetColWidths", [](TTableGrid& g) { g.SetColWidths(0, 80); }, true},
        {"AutoSize", [](TTableGrid& g) { g.AutoSize(); }, true},
        {"reads",
         [](TTableGrid& g) {
             bool state = false;
             (void)g.GetCellEx(0, 0);
             (void)g.GetCheckBoxState(0, 2, state);
             (void)g.VisibleRealColumns();
         },
         false},
        {"AdoptText alone", [](TTableGrid& g) { g.AdoptText("unused"); }, false},
        {"the same RowCount", [](TTableGrid& g) { g.SetRowCount(5); }, false},
        {"no check box to set", [](TTableGrid& g) { g.SetCheckBoxState(3, 3, true); }, false},
        {"no check box to remove", [](TTableGrid& g) { g.RemoveCheckBox(3, 3); }, false},
        {"a column already hidden", [](TTableGrid& g) { g.HideColumn(4); }, false},
    };
    for (const Case& c : cases) {
        TTableGrid grid(5, 5);
        grid.AddCheckBox(0, 2, true);
        grid.HideColumn(4);
        const std::uint64_t before = grid.Revision();
        c.action(grid);
        EXPECT_EQ(grid.Revision() != before, c.moves) << c.what;
    }
}

}  // namespace
}  // namespace tarnwell
