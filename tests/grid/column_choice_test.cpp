#include "grid/column_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/html_table.h"
#include "grid/table_grid.h"

namespace tarnwell {
namespace {

// The columns the report writes are the ones the screen keeps when it hides the same choice.
TEST(TickedColumns, MatchWhatHidingTheUntickedColumnsLeaves) {
    struct Case {
        int count;
        std::vector<bool> ticked;
        std::vector<int> kept;
    };
    const Case cases[] = {
        {4, {true, false, true, false}, {0, 2}},
        {4, {false, true}, {1, 2, 3}},    // columns without an item stay
        {3, {false, false, false}, {2}},  // the last column left is never dropped
        {3, {}, {0, 1, 2}},
        {258, std::vector<bool>(258, false), {256, 257}},  // 256 and above cannot be hidden
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TickedColumns(c.count, c.ticked), c.kept) << c.count;
        TTableGrid grid(c.count, 1);
        for (int col = 0; col < c.count; ++col) {
            const auto item = static_cast<std::size_t>(col);
            if (item < c.ticked.size() && !c.ticked[item]) grid.HideColumn(col);
        }
        EXPECT_EQ(grid.VisibleRealColumns(), c.kept) << c.count;
    }
}

// A column list written from a grid with hidden columns gives the page that hiding them would give, the
// fixed look included, and leaves the grid alone.
TEST(HtmlTableColumns, ListGivesThePageOfTheHiddenGrid) {
    TTableGrid grid(3, 2);
    grid.SetFixedCols(2);
    for (int col = 0; col < 3; ++col) grid.SetCellEx(col, 1, "c" + std::to_string(col));
    const std::vector<int> only_last = {2};
    const std::string from_list = BuildHtmlTable(grid, only_last);
    EXPECT_EQ(grid.NumHiddenColumns(), 0);

    grid.HideColumn(0);
    grid.HideColumn(1);
    EXPECT_EQ(from_list, BuildHtmlTable(grid));
}

}  // namespace
}  // namespace tarnwell
