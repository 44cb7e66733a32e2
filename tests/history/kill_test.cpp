// A writer killed at any moment of a record leaves a whole file: the records it finished, each complete,
// and nothing of the one it was writing.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include "history/history_database.h"
#include "support/run_process.h"
#include "support/temp_folder.h"

namespace tarnwell {
namespace {

using testing_support::RunningProcess;
using testing_support::TempFolder;

constexpr int kAccounts = 400;

TEST(HistoryKill, AKillDuringARecordLosesAtMostThatRecord) {
    TempFolder folder;
    const std::string path = folder.File("history.sqlite3");
    TempFolder signals;  // where the writer reports its first finished record
    std::mt19937 random(11);
    std::int64_t records_before = 0;
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::filesystem::path first_done = signals / ("first-record-" + std::to_string(round));
        RunningProcess writer(TARNWELL_HISTORY_WRITER, {path, std::to_string(kAccounts), first_done.string()},
                              signals / ("writer-" + std::to_string(round) + ".log"));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!std::filesystem::exists(first_done)) {
            ASSERT_FALSE(writer.Ended()) << "the writer ended on its own:\n" << writer.Output();
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no record finished within 60 s";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        writer.Kill();

        HistoryDatabase history(path);
        SqliteConnection& db = history.Connection();
        SqliteStatement check(db, "PRAGMA integrity_check");
        ASSERT_TRUE(check.Step());
        ASSERT_EQ(check.Text(0), "ok");
        const std::int64_t records = db.QueryNumber("SELECT count(*) FROM refresh").value_or(0);
        ASSERT_GT(records, records_before) << "the record the writer reported finished is lost";
        records_before = records;
        // Every record is whole: each of its days holds every account, the site's row adds them up, and the
        // last day's rows hold the last record's counters (the writer's counters are the record's number).
        ASSERT_EQ(db.QueryNumber("SELECT count(*) FROM day"), records * kAccounts);
        ASSERT_EQ(db.QueryNumber("SELECT count(*) FROM site_day"), records);
        ASSERT_EQ(db.QueryNumber("SELECT count(*) FROM site_day s WHERE s.client_send_traffic != "
                                 "(SELECT sum(client_send_traffic) FROM day d WHERE d.day = s.day)"),
                  0);
        ASSERT_EQ(db.QueryNumber("SELECT min(last_time_on_line) FROM day WHERE day = (SELECT max(day) FROM refresh)"),
                  records);
        ASSERT_EQ(db.QueryNumber("SELECT count(*) FROM closing"), records / 5 * kAccounts);
    }
}

}  // namespace
}  // namespace tarnwell
