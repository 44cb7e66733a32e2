// Who was warned before his limit ran out, once per user and month.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "history/warning_log.h"
#include "support/temp_folder.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;
using testing_support::TempFolder;

TEST(WarningLog, OneWarningPerUserAndMonth) {
    TempFolder folder;
    HistoryDatabase history(folder.File("history.sqlite3"));
    const std::string cyrillic(std::string_view("Бухгалтерия"_cp));
    EXPECT_FALSE(WasWarned(history, "ivanov", 202603));

    RecordWarning(history, "ivanov", 202603, 1000);
    RecordWarning(history, "ivanov", 202603, 2000);  // a second run the same month
    RecordWarning(history, cyrillic, 202603, 3000);
    RecordWarning(history, "petrov", 202602, 4000);

    EXPECT_TRUE(WasWarned(history, "ivanov", 202603));
    EXPECT_FALSE(WasWarned(history, "ivanov", 202604));
    EXPECT_FALSE(WasWarned(history, "petrov", 202603));
    EXPECT_EQ(WarnedAccounts(history, 202603), (std::set<std::string>{"ivanov", cyrillic}));
    EXPECT_EQ(WarnedAccounts(history, 202601), std::set<std::string>{});
    EXPECT_EQ(history.Connection().QueryNumber("SELECT at FROM warning WHERE account = 'ivanov'"), 1000);

    // Kept in the file for the next run.
    HistoryDatabase again(folder.File("history.sqlite3"));
    EXPECT_TRUE(WasWarned(again, cyrillic, 202603));
}

}  // namespace
}  // namespace tarnwell
