// SaveToXLS end to end: the grid's rows and visible columns as the workbook shows them, read back by
// python3-xlrd (see xls_read_back.h).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "grid/table_grid.h"
#include "text/cp1251_literal.h"
#include "xls_read_back.h"

namespace tarnwell {
namespace {

using namespace literals;

class TableGridXls : public xls_test::ScratchFolder {};

TEST_F(TableGridXls, VisibleColumnsInDisplayOrderWithoutCarriageReturns) {
    if (!xls_test::HavePython()) GTEST_SKIP() << "no Python in this build";
    const int rows = 300;
    TTableGrid grid(4, rows);
    grid.SetCellEx(0, 0, "Дата"_cp);
    grid.SetCellEx(1, 0, "скрытый"_cp);
    grid.SetCellEx(2, 0, "Адрес"_cp);
    grid.SetCellEx(3, 0, "Сумма"_cp);
    for (int row = 1; row < rows; ++row) {
        grid.SetCellEx(0, row, std::to_string(row));
        grid.SetCellEx(1, row, "hidden");
        grid.SetCellEx(2, row, std::string("Строка "_cp) + std::to_string(row));
    }
    grid.SetCellEx(3, 7, "две\r\nстроки"_cp);
    grid.SetCellEx(3, 8, "a\rb\r");
    grid.AddCheckBox(3, 9, true);       // not exported: the cell stays blank
    grid.SetCellEx(0, rows, "beyond");  // outside RowCount
    grid.HideColumn(1);

    grid.SaveToXLS(PathOf("table.xls"));
    xls_test::ReadWorkbook book = xls_test::ReadBack(folder_ / "table.xls");

    EXPECT_TRUE(book.other.empty()) << book.other.front();
    EXPECT_EQ(book.rows, static_cast<std::size_t>(rows));
    EXPECT_EQ(book.columns, 3u);
    std::map<std::pair<std::size_t, std::size_t>, std::string> want;
    for (int row = 0; row < rows; ++row) {
        for (int d = 0; d < 3; ++d) {
            std::string text(grid.GetCellEx(grid.RealColIndex(d), row));
            std::erase(text, '\r');
            if (!text.empty()) want[{row, d}] = text;
        }
    }
    EXPECT_EQ(want[std::make_pair(7, 2)], "две\nстроки"_cp);
    EXPECT_EQ(want[std::make_pair(8, 2)], "ab");
    std::map<std::pair<std::size_t, std::size_t>, std::string> got;
    for (const auto& [place, cell] : book.cells) {
        if (!cell.text.empty()) got[place] = cell.text;
    }
    EXPECT_EQ(got, want);
    EXPECT_EQ(got[std::make_pair(0, 1)], "Адрес"_cp);
    EXPECT_EQ(got[std::make_pair(299, 1)], "Строка 299"_cp);
}

// A log longer than a sheet: the second sheet starts with the grid's fixed row again (three texts), then
// the last line.
TEST_F(TableGridXls, FixedRowHeadsEveryFurtherSheet) {
    if (!xls_test::HavePython()) GTEST_SKIP() << "no Python in this build";
    const int rows = 65537;
    TTableGrid grid(3, rows);
    for (int col = 0; col < 3; ++col) grid.SetCellEx(col, 0, "h" + std::to_string(col));
    for (int row = 1; row < rows; ++row) grid.SetCellEx(0, row, std::to_string(row));
    grid.SaveToXLS(PathOf("log.xls"));
    EXPECT_THAT(xls_test::RecordOrder(folder_ / "log.xls"),
                ::testing::ElementsAre("0809 0200 00FD*65538 023E 000A", "0809 0200 00FD*4 023E 000A"));
}

}  // namespace
}  // namespace tarnwell
