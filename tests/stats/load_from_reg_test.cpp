#include "stats/load_from_reg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stats/statistics_table.h"
#include "stats_test_support.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

using test::OpenFixture;
using test::RecordingNotifier;
using test::RowTexts;
using Row = std::vector<std::string>;

const char* const kNotReachable = "Возможно WinGate не установлен или версия программыне совместима!";

bool SendBox(const TTableGrid& grid, int row) {
    bool state = false;
    EXPECT_TRUE(grid.GetCheckBoxState(stat_col::Send, row, state)) << "row " << row;
    return state;
}

// Administrator (a user, listed first), Everyone (no Type), Guests (Type "user"), alice, bob.
TEST(LoadFromReg, FillsOneRowPerUserInListingOrder) {
    auto grid = test::MakeStatisticsGrid();
    RecordingNotifier notifier;
    EXPECT_TRUE(LoadFromReg(*grid, *OpenFixture("stats_users.reg"), notifier));

    EXPECT_TRUE(notifier.messages.empty());
    EXPECT_EQ(RowTexts(*grid, 0),
              (Row{"Послать", "Логин", "Имя", "Скачано клиентом", "Скачано сервером", "Отравлено клиентом",
                   "Отправлено сервером", "Время в сети", "Выданный лимит", "Остаток лимита", "Ежемесячный лимит"}));
    // The first account reads "system"; balances and limits are bytes (above 2^31 for alice's opening
    // balance of 30000000 units); a counter stored as FFFFFFFF reads 4294967295, a balance -100.
    EXPECT_EQ(RowTexts(*grid, 1), (Row{"", "system", "Администратор", "1048576", "2048", "3072", "4096", "3600",
                                       "20000000", "15000000", "20000000"}));
    EXPECT_EQ(RowTexts(*grid, 2),
              (Row{"", "alice", "Алиса", "1048577", "0", "0", "0", "60", "3000000000", "-100", "Не установлено"}));
    EXPECT_EQ(RowTexts(*grid, 3), (Row{"", "bob", "Боб", "4294967295", "0", "0", "0", "0", "0", "0", "2000000"}));
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(grid->FixedRows(), 1);

    // Row 1 is always cleared (Administrator has SendMail 1); alice has SendMail 0; bob has none.
    EXPECT_FALSE(SendBox(*grid, 1));
    EXPECT_FALSE(SendBox(*grid, 2));
    EXPECT_TRUE(SendBox(*grid, 3));

    // Fitted to the loaded texts: "system" is the widest login (6 bytes of 7 pixels, plus 16).
    EXPECT_EQ(grid->ColWidths(stat_col::Login), 58);
}

TEST(LoadFromReg, FirstListedAccountThatIsNoUserGivesNoSystemRow) {
    auto grid = test::MakeStatisticsGrid();
    RecordingNotifier notifier;
    EXPECT_TRUE(LoadFromReg(*grid, *OpenFixture("stats_first_not_user.reg"), notifier));

    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(stat_col::Login, 1)), "alice");
    EXPECT_FALSE(SendBox(*grid, 1));  // SendMail 1, cleared all the same
}

TEST(LoadFromReg, FewerUsersThanBeforeLeaveNoStaleRowsAndNoUsersLeaveTheHeader) {
    auto grid = test::MakeStatisticsGrid();
    RecordingNotifier notifier;
    LoadFromReg(*grid, *OpenFixture("stats_users.reg"), notifier);
    LoadFromReg(*grid, *OpenFixture("stats_users_bob_removed.reg"), notifier);
    EXPECT_EQ(grid->RowCount(), 3);

    LoadFromReg(*grid, *OpenFixture("stats_no_accounts.reg"), notifier);
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(stat_col::Login, 0)), "Логин");
    EXPECT_TRUE(notifier.messages.empty());

    // A table of one row has no fixed row; the next load with users makes row 0 the header again.
    LoadFromReg(*grid, *OpenFixture("stats_users.reg"), notifier);
    EXPECT_EQ(grid->FixedRows(), 1);
}

TEST(LoadFromReg, DatabaseNotReachableShowsTheMessageAndKeepsThePreviousRows) {
    for (const char* file : {"stats_no_such_file.reg", "stats_no_database_key.reg"}) {
        SCOPED_TRACE(file);
        auto grid = test::MakeStatisticsGrid();
        RecordingNotifier notifier;
        LoadFromReg(*grid, *OpenFixture("stats_users.reg"), notifier);
        grid->SetCellEx(stat_col::Login, 0, "x");

        EXPECT_FALSE(LoadFromReg(*grid, *OpenFixture(file), notifier));

        EXPECT_EQ(notifier.messages, std::vector<std::string>{kNotReachable});
        EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(stat_col::Login, 0)), "Логин");
        EXPECT_EQ(grid->RowCount(), 4);
        EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(stat_col::Login, 3)), "bob");
    }
}

// alice (SendMail 1), then bob without TimeOnLine, over an earlier load of four rows.
TEST(LoadFromReg, MissingValueStopsTheLoadAndKeepsWhatWasFilled) {
    auto grid = test::MakeStatisticsGrid();
    RecordingNotifier notifier;
    LoadFromReg(*grid, *OpenFixture("stats_users.reg"), notifier);
    for (int col = 0; col < stat_col::Count; ++col) grid->SetColWidths(col, 1);

    try {
        LoadFromReg(*grid, *OpenFixture("stats_missing_time_on_line.reg"), notifier);
        FAIL() << "no error";
    } catch (const EUserDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Failed to get data for 'TimeOnLine'");
    }
    EXPECT_EQ(RowTexts(*grid, 1),
              (Row{"", "system", "Алиса", "1048577", "0", "0", "0", "60", "3000000000", "-100", "Не установлено"}));
    // bob's row: written up to the failing value, the rest from the earlier load.
    EXPECT_EQ(RowTexts(*grid, 2),
              (Row{"", "bob", "Боб", "10", "20", "30", "40", "60", "3000000000", "-100", "Не установлено"}));
    EXPECT_EQ(grid->RowCount(), 4);                   // not set
    EXPECT_TRUE(SendBox(*grid, 1));                   // alice's SendMail, not cleared
    EXPECT_EQ(grid->ColWidths(stat_col::Login), 58);  // fitted all the same
}

// The values of an account are read in column order; the first bad one names the error.
TEST(LoadFromReg, FirstBadValueInReadingOrderNamesTheError) {
    using test::RegValue;
    const struct {
        test::Account account;
        const char* error;
    } cases[] = {
        {{{"RealName", 5}, {"ClientSendTraffic", RegValue::Absent()}}, "Invalid data type for 'RealName'"},
        {{{"ClientSendTraffic", RegValue::Absent()}, {"TimeOnLine", RegValue::Absent()}},
         "Failed to get data for 'ClientSendTraffic'"},
        {{{"TimeOnLine", "abc"}}, "Invalid data type for 'TimeOnLine'"},
        {{{"TimeOnLine", "abcd"}}, "Failed to get data for 'TimeOnLine'"},
        {{{"ClosingBalanceLo", RegValue::Absent()}, {"Limit", "x"}}, "Failed to get data for 'ClosingBalanceLo'"},
        {{{"Limit", "x"}, {"SendMail", "y"}}, "Invalid data type for 'Limit'"},
        {{{"SendMail", "y"}}, "Invalid data type for 'SendMail'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        test::TempRegFile file({{"alice", {}}, {"bob", c.account}});
        auto grid = test::MakeStatisticsGrid();
        RecordingNotifier notifier;
        try {
            LoadFromReg(*grid, *file.Open(), notifier);
            ADD_FAILURE() << "no error";
        } catch (const EUserDatabaseError& error) {
            EXPECT_STREQ(error.what(), c.error);
        }
        EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(stat_col::Login, 1)), "system");
        EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(stat_col::Login, 2)), "bob");
    }
}

}  // namespace
}  // namespace tarnwell
