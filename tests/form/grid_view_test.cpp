#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/form_controls.h"
#include "form/grid_control.h"

namespace tarnwell {
namespace {

// A grid of one header row and `rows` - 1 data rows, 3 columns, with room for 10 rows.
void Fill(GridControl& grid, int rows) {
    grid.SetColCount(3);
    grid.SetRowCount(rows);
    for (int row = 0; row < rows; ++row) grid.SetCellEx(0, row, std::to_string(row));
    grid.UserSetVisibleRowCount(10);
}

// A match out of view comes to the middle of the rows shown; one in view, or a header cell, leaves the
// scroll alone; near the end the last page is shown whole.
TEST(GridView, SelectedCellIsScrolledIntoView) {
    GridControl grid(3, 5);
    Fill(grid, 1000);
    struct Step {
        GridCell select;
        int top_row;
    };
    const Step steps[] = {
        {{1, 500}, 495},  // far below: to the middle
        {{2, 503}, 495},  // in view: stays
        {{0, 100}, 95},   // above: to the middle
        {{0, 3}, 1},      // near the top: the first rows
        {{0, 999}, 990},  // the last row: the last page
        {{0, 0}, 990},    // the header is always shown
    };
    for (const Step& step : steps) {
        const auto revision = grid.ViewRevision();
        grid.SelectCell(step.select);
        EXPECT_EQ(grid.Active(), step.select);
        EXPECT_EQ(grid.Selection(), (CellRange{step.select.col, step.select.row, step.select.col, step.select.row}));
        EXPECT_EQ(grid.TopRow(), step.top_row) << step.select.row;
        EXPECT_GT(grid.ViewRevision(), revision);
    }
    // Outside the table: nothing selected.
    grid.SelectCell({3, 10});
    EXPECT_EQ(grid.Active(), GridCell{});
}

// The user's selection and scroll are taken only inside the shown rows and columns.
TEST(GridView, UserSelectionAndScrollStayInsideTheTable) {
    GridControl grid(3, 5);
    Fill(grid, 30);
    const auto revision = grid.ViewRevision();
    EXPECT_TRUE(grid.UserSelect({1, 2}, {0, 1, 2, 4}));
    EXPECT_EQ(grid.Selection(), (CellRange{0, 1, 2, 4}));
    EXPECT_FALSE(grid.UserSelect({1, 2}, {0, 1, 3, 4}));     // a fourth column
    EXPECT_FALSE(grid.UserSelect({1, 30}, {1, 30, 1, 30}));  // below the last row
    EXPECT_FALSE(grid.UserSelect({-1, 2}, {0, 1, 0, 1}));
    EXPECT_EQ(grid.Selection(), (CellRange{0, 1, 2, 4}));
    EXPECT_EQ(grid.Active(), (GridCell{1, 2}));
    grid.UserScroll(1000);
    EXPECT_EQ(grid.TopRow(), 20);
    grid.UserScroll(-5);
    EXPECT_EQ(grid.TopRow(), 1);
    // The user's own moves are the window's news already: the program's view has not moved.
    EXPECT_EQ(grid.ViewRevision(), revision);
    grid.Control::Enabled = false;
    EXPECT_FALSE(grid.UserSelect({0, 1}, {0, 1, 0, 1}));
}

TEST(GridView, FilterKeepsTheActiveRowItShows) {
    GridControl grid(3, 5);
    Fill(grid, 100);
    grid.SelectCell({1, 40});
    grid.SetFilter(RowFilter({0, 10, 40, 90}));
    EXPECT_EQ(grid.ShownRowCount(), 4);
    EXPECT_EQ(grid.GridRow(2), 40);
    EXPECT_EQ(grid.Active(), (GridCell{1, 2}));  // row 40 is shown as row 2
    grid.SetFilter(RowFilter({0, 10, 90}));
    EXPECT_EQ(grid.Active(), GridCell{});  // row 40 is not shown: nothing selected, the top shown
    EXPECT_EQ(grid.TopRow(), 1);
    grid.SelectCell({0, 2});
    grid.SetFilter(std::nullopt);
    EXPECT_EQ(grid.Active(), (GridCell{0, 90}));
    EXPECT_EQ(grid.ShownRowCount(), 100);
}

// A filter made for a longer table names rows that are gone once a shorter one is loaded: it counts as
// none, and no window reads past the table.
TEST(GridView, FilterOfAReplacedTableCountsAsNone) {
    GridControl grid(3, 5);
    Fill(grid, 100);
    grid.SetFilter(RowFilter({0, 50, 99}));
    ASSERT_NE(grid.Filter(), nullptr);
    grid.SetRowCount(60);
    EXPECT_EQ(grid.Filter(), nullptr);
    EXPECT_EQ(grid.ShownRowCount(), 60);
    EXPECT_EQ(grid.GridRow(59), 59);
}

// The find bar: hidden until opened, over the tables of three pages.
TEST(GridView, FindBarAndItsTables) {
    FormControls f;
    EXPECT_FALSE(f.PFind.Visible);
    for (Control* control : f.FindBarControls()) EXPECT_TRUE(control->Visible) << control->Name;
    EXPECT_EQ(f.PageTable(kViewerPage), &f.SG1);
    EXPECT_EQ(f.PageTable(kStatPage), &f.ASGRead);
    EXPECT_EQ(f.PageTable(kLimitsPage), &f.ASGLimit);
    EXPECT_EQ(f.PageTable(kSettingsPage), nullptr);
    EXPECT_EQ(f.PageTable(kAboutPage), nullptr);
    EXPECT_FALSE(f.CBWholeCell.Checked);
    f.CBWholeCell.UserToggle();
    EXPECT_TRUE(f.CBWholeCell.Checked);
}

}  // namespace
}  // namespace tarnwell
