// The history file's layout: a new file, a file of version 1 brought up to date with its records kept, and
// files the program must leave alone (a newer version, another program's database, no database at all).

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "history/history_error.h"
#include "history/history_figures.h"
#include "history/history_recorder.h"
#include "history/history_schema.h"
#include "history/warning_log.h"
#include "history_test_support.h"
#include "support/temp_folder.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

using namespace history_testing;
using testing_support::TempFolder;

std::string Text(SqliteConnection& connection, const char* sql) {
    SqliteStatement query(connection, sql);
    return query.Step() ? query.Text(0) : "";
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The layout of version 1 as the first program that wrote it made it, with a day of records: the file an
// installation of that program leaves behind.
constexpr const char* kVersion1File = R"sql(
CREATE TABLE refresh (id INTEGER PRIMARY KEY, at INTEGER NOT NULL, day INTEGER NOT NULL,
                      closing INTEGER NOT NULL DEFAULT 0);
CREATE INDEX refresh_day ON refresh (day);
CREATE TABLE day (day INTEGER NOT NULL, account TEXT NOT NULL, refresh INTEGER NOT NULL,
    client_send_traffic INTEGER NOT NULL, nonclient_recv_traffic INTEGER NOT NULL,
    client_recv_traffic INTEGER NOT NULL, nonclient_send_traffic INTEGER NOT NULL, time_on_line INTEGER NOT NULL,
    last_client_send_traffic INTEGER NOT NULL, last_nonclient_recv_traffic INTEGER NOT NULL,
    last_client_recv_traffic INTEGER NOT NULL, last_nonclient_send_traffic INTEGER NOT NULL,
    last_time_on_line INTEGER NOT NULL, opening_balance INTEGER NOT NULL, closing_balance INTEGER NOT NULL,
    monthly_limit INTEGER, PRIMARY KEY (day, account)) WITHOUT ROWID;
CREATE TABLE site_day (day INTEGER PRIMARY KEY, client_send_traffic INTEGER NOT NULL,
    nonclient_recv_traffic INTEGER NOT NULL, client_recv_traffic INTEGER NOT NULL,
    nonclient_send_traffic INTEGER NOT NULL, time_on_line INTEGER NOT NULL);
CREATE TABLE closing (refresh INTEGER NOT NULL, account TEXT NOT NULL, client_send_traffic INTEGER NOT NULL,
    nonclient_recv_traffic INTEGER NOT NULL, client_recv_traffic INTEGER NOT NULL,
    nonclient_send_traffic INTEGER NOT NULL, time_on_line INTEGER NOT NULL, opening_balance INTEGER NOT NULL,
    closing_balance INTEGER NOT NULL, monthly_limit INTEGER, PRIMARY KEY (refresh, account)) WITHOUT ROWID;
INSERT INTO refresh VALUES (1, 1772352000, 20260301, 0), (2, 1772438400, 20260302, 0);
INSERT INTO day VALUES (20260301, 'ivanov', 1, 0, 0, 0, 0, 0, 100, 100, 100, 100, 100, 2000, 2000, 2000),
                       (20260302, 'ivanov', 2, 40, 40, 40, 40, 40, 140, 140, 140, 140, 140, 2000, 1960, 2000);
INSERT INTO site_day VALUES (20260301, 0, 0, 0, 0, 0), (20260302, 40, 40, 40, 40, 40);
PRAGMA application_id = 1416785527;
PRAGMA user_version = 1;
)sql";

TEST(HistorySchema, ANewFileIsOfTheCurrentVersionInWriteAheadLogMode) {
    TempFolder folder;
    const std::string path = folder.File("history.sqlite3");
    HistoryDatabase history(path);
    EXPECT_EQ(history.Connection().QueryNumber("PRAGMA user_version"), kHistorySchemaVersion);
    EXPECT_EQ(history.Connection().QueryNumber("PRAGMA application_id"), kHistoryApplicationId);
    EXPECT_EQ(Text(history.Connection(), "PRAGMA journal_mode"), "wal");
    // Opening it again changes nothing.
    HistoryDatabase again(path);
    EXPECT_EQ(again.Connection().QueryNumber("SELECT count(*) FROM sqlite_schema WHERE type = 'table'"), 5);
}

TEST(HistorySchema, AVersion1FileIsBroughtUpToDateWithItsRecordsKept) {
    TempFolder folder;
    const std::string path = folder.File("history.sqlite3");
    {
        SqliteConnection old(path, 0);
        old.Execute(kVersion1File);
    }
    HistoryDatabase history(path);
    EXPECT_EQ(history.Connection().QueryNumber("PRAGMA user_version"), 2);
    const std::vector<DayFigures> days = UserDayFigures(history, "ivanov", 202603);
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[1].usage.traffic[0], 40);
    EXPECT_EQ(days[1].balances, (BalanceFigures{2000, 1960, 2000}));
    EXPECT_EQ(SiteMonths(history, 2026).at(0).usage.time_on_line, 40);
    // Recording goes on from the old file's last record, and the new table of version 2 is there.
    RecordFigures(history, {User("ivanov", 200, 2000, 1900, 2000)}, At(20260303, 9), RecordKind::Hourly);
    EXPECT_EQ(UserDayFigures(history, "ivanov", 202603).back().usage.traffic[0], 60);
    RecordWarning(history, "ivanov", 202603, 1772524800);
    EXPECT_TRUE(WasWarned(history, "ivanov", 202603));
}

TEST(HistorySchema, FilesThatAreNoHistoryOfThisVersionAreLeftAlone) {
    struct Case {
        const char* what;
        const char* sql;  // how the file is made (none: the bytes below)
        const char* bytes;
        const char* message;  // a part of the error
    };
    const Case cases[] = {
        {"a newer version",
         "CREATE TABLE refresh (id INTEGER PRIMARY KEY); PRAGMA application_id = 1416785527; "
         "PRAGMA user_version = 3;",
         nullptr, "(версия схемы 3)"},
        {"another program's database", "CREATE TABLE contacts (name TEXT);", nullptr, "это не файл истории трафика"},
        {"no database at all", nullptr, "Name,Traffic\r\nivanov,100\r\n", "file is not a database"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        const std::string path = folder.File("history.sqlite3");
        if (c.sql != nullptr) {
            SqliteConnection other(path, 0);
            other.Execute(c.sql);
        } else {
            folder.Write("history.sqlite3", c.bytes);
        }
        const std::string before = FileBytes(path);
        try {
            HistoryDatabase history(path);
            ADD_FAILURE() << "opened";
        } catch (const HistoryError& e) {
            EXPECT_NE(Cp1251ToUtf8(e.what()).find(c.message), std::string::npos) << Cp1251ToUtf8(e.what());
            EXPECT_EQ(std::string(e.what()).rfind(path + ": ", 0), 0u) << e.what();
        }
        EXPECT_EQ(FileBytes(path), before);
    }
}

}  // namespace
}  // namespace tarnwell
