#include "stats/statistics_sort.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "stats/statistics_table.h"
#include "stats_test_support.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

TEST(SortValue, DisplayTexts) {
    const struct {
        const char* text;
        std::optional<double> value;
    } cases[] = {
        {"1234", 1234},         {"-0,5", -0.5},     {"900 кб.", 900},
        {"1,5 мб.", 1536},      {"2 гб.", 2097152}, {"1 тб.", 1073741824},
        {"Не установлено", {}}, {"", {}},           {"12 мб", {}},
        {"1,25", 1.25},         {"ivanov", {}},     {"-", {}},
        {"5 кб. ", {}},         {",5", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SortValue(Utf8ToCp1251(c.text)), c.value) << c.text;
}

// The statistics table of five users and the totals, as the refresh leaves it (UTF-8 here): the
// "Послать" box, login, name, one traffic column, the limit.
struct Row {
    bool send;
    const char* login;
    const char* name;
    const char* traffic;
    const char* limit;
};

std::unique_ptr<TTableGrid> Table(const std::vector<Row>& rows, bool totals = true) {
    auto grid = test::MakeStatisticsGrid();
    grid->SetRowCount(1 + static_cast<int>(rows.size()) + (totals ? 1 : 0));
    int r = 1;
    for (const Row& row : rows) {
        grid->AddCheckBox(stat_col::Send, r, row.send);
        grid->SetCellEx(stat_col::Login, r, Utf8ToCp1251(row.login));
        grid->SetCellEx(stat_col::RealName, r, Utf8ToCp1251(row.name));
        grid->SetCellEx(stat_col::ClientSendTraffic, r, Utf8ToCp1251(row.traffic));
        grid->SetCellEx(stat_col::Limit, r, Utf8ToCp1251(row.limit));
        ++r;
    }
    if (totals) {
        grid->SetCellEx(stat_col::Login, r, stat_text::kTotals);
        grid->SetCellEx(stat_col::ClientSendTraffic, r, Utf8ToCp1251("1,2 гб."));
    }
    return grid;
}

const std::vector<Row> kUsers = {
    {true, "system", "Ёлкин Пётр", "900 кб.", "Не установлено"},
    {false, "ivanov", "Иванов Иван", "1,5 мб.", "10000"},
    {true, "Petrov", "Петров Пётр", "900 кб.", "500"},
    {false, "яковлев", "Яковлев Яков", "0 кб.", "Не установлено"},
    {false, "ежов", "ежов Егор", "2 гб.", "-1"},
};

std::vector<std::string> Logins(const TTableGrid& grid, const std::vector<int>& rows) {
    std::vector<std::string> logins;
    for (int row : rows) logins.push_back(Cp1251ToUtf8(grid.GetCellEx(stat_col::Login, row)));
    return logins;
}

TEST(SortedStatisticsRows, ByEachKindOfColumnBothWays) {
    const auto grid = Table(kUsers);
    using Order = std::vector<std::string>;
    const struct {
        int col;
        SortOrder order;
        Order expected;
    } cases[] = {
        // Texts: Latin before Cyrillic, case ignored, Ё beside Е.
        {stat_col::Login, SortOrder::kAscending, {"ivanov", "Petrov", "system", "ежов", "яковлев", "Сумма"}},
        {stat_col::Login, SortOrder::kDescending, {"яковлев", "ежов", "system", "Petrov", "ivanov", "Сумма"}},
        {stat_col::RealName, SortOrder::kAscending, {"ежов", "system", "ivanov", "Petrov", "яковлев", "Сумма"}},
        // Traffic by value with its unit; equal values keep the table's order, in either direction.
        {stat_col::ClientSendTraffic,
         SortOrder::kAscending,
         {"яковлев", "system", "Petrov", "ivanov", "ежов", "Сумма"}},
        {stat_col::ClientSendTraffic,
         SortOrder::kDescending,
         {"ежов", "ivanov", "system", "Petrov", "яковлев", "Сумма"}},
        // Plain numbers, then the texts that are none.
        {stat_col::Limit, SortOrder::kAscending, {"ежов", "Petrov", "ivanov", "system", "яковлев", "Сумма"}},
        {stat_col::Limit, SortOrder::kDescending, {"system", "яковлев", "ivanov", "Petrov", "ежов", "Сумма"}},
        // The boxes: unticked before ticked.
        {stat_col::Send, SortOrder::kAscending, {"ivanov", "яковлев", "ежов", "system", "Petrov", "Сумма"}},
        {stat_col::Send, SortOrder::kDescending, {"system", "Petrov", "ivanov", "яковлев", "ежов", "Сумма"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Logins(*grid, SortedStatisticsRows(*grid, c.col, c.order)), c.expected)
            << "column " << c.col << (c.order == SortOrder::kAscending ? " up" : " down");
    }
}

// Only the last row is the totals: a user called "Сумма" sorts like any other, and a table without totals
// has none kept back.
TEST(SortedStatisticsRows, OnlyTheLastRowNamedSummaIsKeptLast) {
    const auto named = Table({{false, "Сумма", "", "5 кб.", ""}, {false, "ivanov", "", "1 кб.", ""}});
    EXPECT_EQ(Logins(*named, SortedStatisticsRows(*named, stat_col::Login, SortOrder::kAscending)),
              (std::vector<std::string>{"ivanov", "Сумма", "Сумма"}));
    EXPECT_EQ(Logins(*named, SortedStatisticsRows(*named, stat_col::ClientSendTraffic, SortOrder::kAscending)),
              (std::vector<std::string>{"ivanov", "Сумма", "Сумма"}));
    EXPECT_TRUE(IsTotalsRow(*named, 3));
    EXPECT_FALSE(IsTotalsRow(*named, 1));

    const auto bare = Table({{false, "b", "", "1 мб.", ""}, {false, "a", "", "2 мб.", ""}}, false);
    EXPECT_EQ(Logins(*bare, SortedStatisticsRows(*bare, stat_col::ClientSendTraffic, SortOrder::kDescending)),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(IsTotalsRow(*bare, 2));
}

TEST(SortedStatisticsRows, TableOfNoUsers) {
    const auto grid = Table({});
    EXPECT_EQ(SortedStatisticsRows(*grid, stat_col::Login, SortOrder::kDescending), std::vector<int>{1});
}

}  // namespace
}  // namespace tarnwell
