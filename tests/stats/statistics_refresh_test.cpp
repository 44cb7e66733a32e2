#include "stats/statistics_refresh.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "stats/load_from_reg.h"
#include "stats/send_flags.h"
#include "stats/statistics_steps.h"
#include "stats/statistics_table.h"
#include "stats_test_support.h"
#include "support/temp_folder.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

using test::OpenFixture;
using test::RecordingNotifier;
using test::RowTexts;
using Row = std::vector<std::string>;

const std::vector<bool> kAllColumns(stat_col::Count, true);
const TrafficDisplay kAuto{0, 2, true};

TEST(RefreshStatistics, TotalsFromByteCountsThenUserRowsConverted) {
    auto grid = test::MakeStatisticsGrid();
    RecordingNotifier notifier;
    ASSERT_TRUE(RefreshStatistics(*grid, *OpenFixture("stats_users.reg"), notifier, kAuto, kAllColumns));

    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(RowTexts(*grid, 1), (Row{"", "system", "Администратор", "1024 кб.", "2 кб.", "3 кб.", "4 кб.", "3600",
                                       "19,07 мб.", "14,30 мб.", "19,07 мб."}));
    EXPECT_EQ(RowTexts(*grid, 2), (Row{"", "alice", "Алиса", "1,00 мб.", "0 кб.", "0 кб.", "0 кб.", "60", "2,79 гб.",
                                       "-0,09 кб.", "Не установлено"}));
    EXPECT_EQ(RowTexts(*grid, 3),
              (Row{"", "bob", "Боб", "4 гб.", "0 кб.", "0 кб.", "0 кб.", "0", "0 кб.", "0 кб.", "1,90 мб."}));
    // The opening balances add up to 3020000000 bytes: beyond 32 bits, shown at their true size.
    EXPECT_EQ(RowTexts(*grid, 4), (Row{"", "Сумма", "", "4,00 гб.", "2 кб.", "3 кб.", "4 кб.", "3660", "2,81 гб.",
                                       "14,30 мб.", "20,98 мб."}));
    bool state = false;
    EXPECT_FALSE(grid->GetCheckBoxState(stat_col::Send, 4, state));
    EXPECT_EQ(grid->ColCount(), stat_col::Count);
}

TEST(RefreshStatistics, TotalsRowMovesUpIntoTheRowOfARemovedUser) {
    auto grid = test::MakeStatisticsGrid();
    RecordingNotifier notifier;
    RefreshStatistics(*grid, *OpenFixture("stats_users.reg"), notifier, kAuto, kAllColumns);
    RefreshStatistics(*grid, *OpenFixture("stats_users_bob_removed.reg"), notifier, kAuto, kAllColumns);

    EXPECT_EQ(grid->RowCount(), 4);
    // Row 3 held bob, with a ticked send box: now the totals, without box, name or full name.
    EXPECT_EQ(RowTexts(*grid, 3), (Row{"", "Сумма", "", "2,00 мб.", "2 кб.", "3 кб.", "4 кб.", "3660", "2,81 гб.",
                                       "14,30 мб.", "19,07 мб."}));
    bool state = false;
    EXPECT_FALSE(grid->GetCheckBoxState(stat_col::Send, 3, state));
}

// The settings writer stores each send box into the account the row was read from, found by the key kept
// beside the row: whatever the login text on screen says, also for a real account named "system" in row 1
// (the first listed key being a group). The first listed account, shown as "system", is not written.
TEST(RefreshStatistics, SendBoxesGoBackIntoTheAccountsTheyWereReadFrom) {
    struct Case {
        const char* fixture;
        bool tick_row_1;  // the load clears it
        std::vector<std::pair<std::string, int>> send_mail;
    };
    const Case cases[] = {
        {"stats_system_after_group.reg", true, {{"system", 1}, {"alice", 0}}},  // system had 0, alice none
        {"stats_users.reg", false, {{"Administrator", 1}, {"alice", 0}}},       // Administrator keeps his 1
    };
    const testing_support::TempFolder folder;
    const std::filesystem::path path = folder / "registry.reg";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        std::filesystem::copy_file(std::string(TARNWELL_TEST_DATA) + "/" + c.fixture, path,
                                   std::filesystem::copy_options::overwrite_existing);
        auto location = UserDatabaseLocation::RegFile(path.string());
        const std::vector<std::string> accounts = location.Open()->ListAccounts();
        auto grid = test::MakeStatisticsGrid();
        RecordingNotifier notifier;
        ASSERT_TRUE(RefreshStatistics(*grid, *location.Open(), notifier, kAuto, kAllColumns));
        ASSERT_EQ(grid->GetCellEx(stat_col::Login, 1), "system");

        grid->SetCheckBoxState(stat_col::Send, 1, c.tick_row_1);
        grid->SetCellEx(stat_col::Login, 2, "mallory");  // edited on screen
        grid->SetCheckBoxState(stat_col::Send, 2, false);
        SaveSendFlags(*grid, *location.Open());

        auto db = location.Open();
        EXPECT_EQ(db->ListAccounts(), accounts);  // no key made for "mallory" or "system"
        for (const auto& [login, send_mail] : c.send_mail) {
            ASSERT_TRUE(db->OpenExistingAccount(login)) << login;
            EXPECT_EQ(db->ReadNumber("SendMail"), send_mail) << login;
        }
    }
    std::filesystem::remove(path);
}

TEST(RefreshStatistics, DatabaseNotReachableStopsBeforeTheTotals) {
    auto grid = test::MakeStatisticsGrid();
    RecordingNotifier notifier;
    EXPECT_FALSE(RefreshStatistics(*grid, *OpenFixture("stats_no_such_file.reg"), notifier, kAuto, kAllColumns));
    EXPECT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->GetCellEx(stat_col::Login, 1), "");
}

// Digits of different widths, so that a column fitted to the display texts, or to the longest integer
// instead of the widest, shows.
class DigitMeasure final : public TextWidthMeasure {
public:
    int TextWidth(std::string_view text, bool fixed_font) const override {
        int width = 0;
        for (char c : text) width += c == '1' ? 2 : (c >= '0' && c <= '9') ? 11 : 6;
        return fixed_font ? width + 3 : width;
    }
    int MaxByteWidth(bool) const override { return 14; }
};

// A refresh writes each byte count once, in display form, yet leaves the table, its boxes and its column
// widths exactly as loading, totalling, converting and hiding one after the other do: on a fresh grid,
// over an earlier refresh, and when a value cannot be read (the rows read so far keep their integers).
TEST(RefreshStatistics, SameTableAndWidthsAsTheStepsOneAfterTheOther) {
    const std::vector<std::vector<std::string>> sequences = {
        {"stats_users.reg"},
        {"stats_users.reg", "stats_users_bob_removed.reg"},
        {"stats_users.reg", "stats_missing_time_on_line.reg"},
        {"stats_missing_time_on_line.reg"},
    };
    std::vector<bool> columns = kAllColumns;
    columns[stat_col::NonClientRecvTraffic] = false;
    const DigitMeasure measure;
    for (const auto& files : sequences) {
        SCOPED_TRACE(files.back() + " after " + std::to_string(files.size() - 1) + " other(s)");
        auto refreshed = test::MakeStatisticsGrid();
        auto stepped = test::MakeStatisticsGrid();
        RecordingNotifier notifier;
        for (const std::string& file : files) {
            std::string refresh_error, steps_error;
            try {
                RefreshStatistics(*refreshed, *OpenFixture(file), notifier, kAuto, columns, measure);
            } catch (const EUserDatabaseError& error) {
                refresh_error = error.what();
            }
            try {
                StatisticsFigures figures;
                auto database = OpenFixture(file);
                if (LoadFromReg(*stepped, *database, notifier, figures, measure)) {
                    AddSumSG(*stepped, figures, kAuto);
                    ConvertTable(*stepped, figures, kAuto);
                    HideCol(*stepped, columns);
                }
            } catch (const EUserDatabaseError& error) {
                steps_error = error.what();
            }
            EXPECT_EQ(refresh_error, steps_error);
        }
        ASSERT_EQ(refreshed->RowCount(), stepped->RowCount());
        ASSERT_EQ(refreshed->ColCount(), stepped->ColCount());
        for (int row = 0; row < stepped->RowCount() + 2; ++row) {
            for (int col = 0; col <= stat_col::SendFlagAccount; ++col) {
                EXPECT_EQ(refreshed->GetCellEx(col, row), stepped->GetCellEx(col, row)) << "col " << col << " row " << row;
                bool a = false, b = false;
                EXPECT_EQ(refreshed->GetCheckBoxState(col, row, a), stepped->GetCheckBoxState(col, row, b));
                EXPECT_EQ(a, b) << "box, col " << col << " row " << row;
            }
        }
        for (int col = 0; col < stepped->ColCount(); ++col) {
            EXPECT_EQ(refreshed->ColWidths(col), stepped->ColWidths(col)) << "display column " << col;
        }
    }
}

// Users' values (0 unless given), the display settings, and the cells expected after the refresh.
struct Cell {
    int row;
    int col;
    const char* text;
};
struct TotalsCase {
    const char* name;
    std::vector<test::Account> users;
    TrafficDisplay display;
    std::vector<Cell> cells;
};

TEST(RefreshStatistics, TotalsTableOfCases) {
    const TotalsCase cases[] = {
        {"bytes either side of a megabyte",
         {{{"ClientSendTraffic", 1048576}}, {{"ClientSendTraffic", 1048577}}},
         kAuto,
         {{1, 3, "1024 кб."}, {2, 3, "1,00 мб."}, {3, 3, "2,00 мб."}}},
        {"time on line stays in seconds",
         {{{"TimeOnLine", 3600}}, {{"TimeOnLine", 60}}},
         kAuto,
         {{1, 7, "3600"}, {2, 7, "60"}, {3, 7, "3660"}}},
        {"a user without a limit counts nothing",
         {{{"Limit", 20000}}, {}},
         kAuto,
         {{1, 10, "1,90 мб."}, {2, 10, "Не установлено"}, {3, 10, "1,90 мб."}}},
        {"no users",
         {},
         kAuto,
         {{1, 1, "Сумма"},
          {1, 3, "0 кб."},
          {1, 4, "0 кб."},
          {1, 5, "0 кб."},
          {1, 6, "0 кб."},
          {1, 7, "0"},
          {1, 8, "0 кб."},
          {1, 9, "0 кб."},
          {1, 10, "0 кб."}}},
        {"megabytes for every byte cell",
         {{{"ClientSendTraffic", 524288}, {"OpeningBalanceLo", 5243}}, {{"ClientSendTraffic", 1536}}},
         {2, 2, true},
         {{1, 3, "0,5 мб."},
          {2, 3, "0,00 мб."},
          {3, 3, "0,50 мб."},
          {1, 8, "0,50 мб."},
          {3, 4, "0 мб."},
          {3, 10, "0 мб."}}},
        {"kilobytes of 1024 bytes",
         {{{"ClientSendTraffic", 1500000}}},
         {0, 2, true},
         {{1, 3, "1,43 мб."}, {2, 3, "1,43 мб."}}},
        {"kilobytes of 1000 bytes",
         {{{"ClientSendTraffic", 1500000}}},
         {0, 2, false},
         {{1, 3, "1,5 мб."}, {2, 3, "1,5 мб."}}},
        {"traffic sums are single precision",
         {{{"NonClientRecvTraffic", 16777216}}, {{"NonClientRecvTraffic", 1}}, {{"NonClientRecvTraffic", 1}}},
         kAuto,
         {{4, 4, "16 мб."}}},
        {"totals beyond 32 bits",
         {{{"ClientRecvTraffic", 2000000000}, {"ClosingBalanceLo", 10000000}, {"TimeOnLine", 2147483647}},
          {{"ClientRecvTraffic", 2000000000}, {"ClosingBalanceLo", 10000000}, {"TimeOnLine", 2147483647}},
          {{"ClientRecvTraffic", 2000000000}, {"ClosingBalanceLo", 10000000}, {"TimeOnLine", 2147483647}}},
         kAuto,
         {{1, 9, "953,67 мб."}, {4, 5, "5,58 гб."}, {4, 7, "6442450941"}, {4, 9, "2,79 гб."}}},
        {"counters and time on line are unsigned",
         {{{"ClientSendTraffic", 2174552822}, {"TimeOnLine", 4294967295}}, {{"ClientSendTraffic", 2174552822}}},
         kAuto,
         {{1, 3, "2,02 гб."}, {1, 7, "4294967295"}, {3, 3, "4,05 гб."}, {3, 7, "4294967295"}}},
        {"negative balances",
         {{{"ClosingBalanceLo", -20000}}, {{"ClosingBalanceLo", 10000}}},
         kAuto,
         {{1, 9, "-1953,12 кб."}, {3, 9, "-976,56 кб."}}},
    };
    for (const TotalsCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<std::string, test::Account>> accounts;
        for (std::size_t i = 0; i < c.users.size(); ++i) accounts.emplace_back("user" + std::to_string(i), c.users[i]);
        test::TempRegFile file(accounts);
        auto grid = test::MakeStatisticsGrid();
        RecordingNotifier notifier;
        ASSERT_TRUE(RefreshStatistics(*grid, *file.Open(), notifier, c.display, kAllColumns));
        EXPECT_EQ(grid->RowCount(), static_cast<int>(c.users.size()) + 2);
        EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(stat_col::Login, grid->RowCount() - 1)), "Сумма");
        for (const Cell& cell : c.cells) {
            EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(cell.col, cell.row)), cell.text)
                << "row " << cell.row << ", column " << cell.col;
        }
    }
}

TEST(HideCol, UntickedItemsHideTheirColumnsAndTickingShowsThemAgain) {
    auto grid = test::MakeStatisticsGrid();
    RecordingNotifier notifier;
    std::vector<bool> columns = kAllColumns;
    columns[stat_col::Login] = false;
    RefreshStatistics(*grid, *OpenFixture("stats_users.reg"), notifier, kAuto, columns);
    EXPECT_EQ(grid->ColCount(), 10);
    EXPECT_TRUE(grid->IsHiddenColumn(stat_col::Login));
    EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(stat_col::Login, 4)), "Сумма");  // kept, only not shown

    RefreshStatistics(*grid, *OpenFixture("stats_users.reg"), notifier, kAuto, kAllColumns);
    EXPECT_EQ(grid->ColCount(), 11);
    EXPECT_EQ(grid->NumHiddenColumns(), 0);
}

TEST(HideCol, AllItemsUntickedLeaveTheLastColumnVisible) {
    auto grid = test::MakeStatisticsGrid();
    HideCol(*grid, std::vector<bool>(stat_col::Count, false));
    EXPECT_EQ(grid->ColCount(), 1);
    EXPECT_EQ(grid->RealColIndex(0), stat_col::Limit);

    // A second list is applied to all columns, not on top of the first.
    HideCol(*grid, {true, true, false});
    EXPECT_EQ(grid->ColCount(), 10);
    EXPECT_TRUE(grid->IsHiddenColumn(2));
}

TEST(AddSumSG, EmptiesTheReusedRowAndConvertTableLeavesItAlone) {
    auto grid = test::MakeStatisticsGrid();
    grid->SetRowCount(2);
    UserFigures user{{2048, 2048, 2048, 2048}, 2048, 2048, 2048, 2048, "user"};
    for (int col = 3; col <= 10; ++col) grid->SetCellEx(col, 1, "2048");
    grid->SetCellEx(stat_col::RealName, 2, "stale");
    grid->AddCheckBox(stat_col::Send, 2, true);
    grid->AddCheckBox(stat_col::RealName, 2, true);

    const StatisticsFigures figures = {user};
    AddSumSG(*grid, figures, kAuto);
    ConvertTable(*grid, figures, kAuto);

    EXPECT_EQ(RowTexts(*grid, 1),
              (Row{"", "", "", "2 кб.", "2 кб.", "2 кб.", "2 кб.", "2048", "2 кб.", "2 кб.", "2 кб."}));
    EXPECT_EQ(RowTexts(*grid, 2),
              (Row{"", "Сумма", "", "2 кб.", "2 кб.", "2 кб.", "2 кб.", "2048", "2 кб.", "2 кб.", "2 кб."}));
    bool state = false;
    EXPECT_FALSE(grid->GetCheckBoxState(stat_col::Send, 2, state));
    EXPECT_FALSE(grid->GetCheckBoxState(stat_col::RealName, 2, state));
}

}  // namespace
}  // namespace tarnwell
