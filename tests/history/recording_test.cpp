// Records of the statistics refresh and what they add up to: per day, per month, for the site, and the
// month so far, read back from the database on disk.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "history/history_figures.h"
#include "history/history_recorder.h"
#include "history_test_support.h"
#include "support/temp_folder.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace history_testing;
using namespace literals;
using testing_support::TempFolder;

class Recording : public testing::Test {
protected:
    RecordOutcome Record(const RecordTime& time, StatisticsFigures figures, RecordKind kind = RecordKind::Hourly) {
        return RecordFigures(history_, figures, time, kind);
    }
    std::int64_t Count(const char* sql) { return history_.Connection().QueryNumber(sql).value_or(-1); }

    TempFolder folder_;
    HistoryDatabase history_{folder_.File("history.sqlite3")};
};

// One user's counter at successive refreshes, and the figures per day that come of it.
struct Step {
    int day, hour, minute;
    std::int64_t counter;
};
struct Case {
    const char* what;
    std::vector<Step> steps;
    std::vector<std::pair<int, std::int64_t>> days;  // (day of March, usage)
};

const std::int64_t kTop = 4294967000;  // near 2^32

const std::vector<Case> kCases = {
    {"the first record counts nothing", {{20260301, 10, 0, 5000}}, {{1, 0}}},
    {"differences add up over the day",
     {{20260301, 9, 0, 100}, {20260301, 10, 0, 250}, {20260301, 17, 0, 1000}},
     {{1, 900}}},
    {"a second refresh within the hour is not recorded",
     {{20260301, 10, 0, 100}, {20260301, 10, 59, 200}, {20260301, 11, 0, 300}},
     {{1, 200}}},
    {"a counter reset by WinGate counts its new value",
     {{20260301, 10, 0, 5000}, {20260301, 12, 0, 300}, {20260301, 14, 0, 400}},
     {{1, 400}}},
    {"a counter wrapped at 2^32", {{20260301, 10, 0, kTop}, {20260301, 12, 0, 500}}, {{1, 296 + 500}}},
    {"a missing day's traffic falls on the next recorded day",
     {{20260301, 23, 0, 100}, {20260303, 8, 0, 700}, {20260303, 20, 0, 800}},
     {{1, 0}, {3, 700}}},
    {"the night's traffic falls on the morning", {{20260301, 22, 0, 100}, {20260302, 6, 0, 160}}, {{1, 0}, {2, 60}}},
};

TEST_F(Recording, DayFiguresAreTheDifferencesOfConsecutiveRecords) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        HistoryDatabase history(folder.File("history.sqlite3"));
        for (const Step& step : c.steps) {
            RecordFigures(history, {User("ivanov", step.counter)}, At(step.day, step.hour, step.minute),
                          RecordKind::Hourly);
        }
        std::vector<std::pair<int, std::int64_t>> days;
        for (const DayFigures& day : UserDayFigures(history, "ivanov", 202603)) {
            for (int i = 1; i < 4; ++i) EXPECT_EQ(day.usage.traffic[i], day.usage.traffic[0]);
            EXPECT_EQ(day.usage.time_on_line, day.usage.traffic[0]);
            days.emplace_back(DayOfMonth(day.day), day.usage.traffic[0]);
        }
        EXPECT_EQ(days, c.days);
    }
}

TEST_F(Recording, AtMostOnceAnHourAndAgainWhenTheClockIsSetBack) {
    EXPECT_EQ(Record(At(20260301, 10, 0), {User("ivanov", 1)}), RecordOutcome::Recorded);
    EXPECT_EQ(Record(At(20260301, 10, 30), {User("ivanov", 2)}), RecordOutcome::NotDue);
    EXPECT_EQ(Record(At(20260301, 9, 1), {User("ivanov", 2)}), RecordOutcome::NotDue);
    EXPECT_EQ(Record(At(20260301, 11, 0), {User("ivanov", 3)}), RecordOutcome::Recorded);
    // Set back by a day: the earlier moment is recorded, and counts after the last record.
    EXPECT_EQ(Record(At(20260228, 11, 0), {User("ivanov", 10)}), RecordOutcome::Recorded);
    EXPECT_EQ(Count("SELECT count(*) FROM refresh"), 3);
    ASSERT_EQ(UserDayFigures(history_, "ivanov", 202602).size(), 1u);
    EXPECT_EQ(UserDayFigures(history_, "ivanov", 202602)[0].usage.traffic[0], 7);
}

TEST_F(Recording, EachDayKeepsItsLastRecordAndOnlyChangedAccountsAreRewritten) {
    Record(At(20260302, 9), {User("ivanov", 100, 2000, 1500, 5000), User("petrov", 7, 0, 0)});
    Record(At(20260302, 12), {User("ivanov", 130, 2000, 1470, 5000), User("petrov", 7, 0, 0)});
    const std::vector<DayFigures> ivanov = UserDayFigures(history_, "ivanov", 202603);
    ASSERT_EQ(ivanov.size(), 1u);
    EXPECT_EQ(ivanov[0].balances, (BalanceFigures{2000, 1470, 5000}));
    // petrov's row still names the first record: nothing of his changed in the second.
    EXPECT_EQ(Count("SELECT refresh FROM day WHERE account = 'petrov'"), 1);
    EXPECT_EQ(Count("SELECT refresh FROM day WHERE account = 'ivanov'"), 2);
    const std::vector<DayFigures> petrov = UserDayFigures(history_, "petrov", 202603);
    ASSERT_EQ(petrov.size(), 1u);
    EXPECT_EQ(petrov[0].balances.limit, std::nullopt);

    // The next day every account gets its row again, so each one's previous record is on the last day.
    Record(At(20260303, 9), {User("ivanov", 130, 2000, 1470, 5000), User("petrov", 9, 0, 0)});
    EXPECT_EQ(Count("SELECT count(*) FROM day WHERE day = 20260303"), 2);
    EXPECT_EQ(UserDayFigures(history_, "petrov", 202603).back().usage.traffic[0], 2);
}

TEST_F(Recording, AnAccountIsRecordedUnderItsKeyNameAndANewOneStartsAtNothing) {
    const std::string cyrillic(std::string_view("Бухгалтерия"_cp));
    Record(At(20260301, 9), {User(cyrillic, 50)});
    Record(At(20260301, 11), {User(cyrillic, 80), User("newcomer", 9000)});
    ASSERT_EQ(UserDayFigures(history_, cyrillic, 202603).size(), 1u);
    EXPECT_EQ(UserDayFigures(history_, cyrillic, 202603)[0].usage.traffic[0], 30);
    EXPECT_EQ(UserDayFigures(history_, "newcomer", 202603)[0].usage.traffic[0], 0);
    // Readable with sqlite3: the names are kept in UTF-8.
    EXPECT_EQ(Count("SELECT count(*) FROM day WHERE account = 'Бухгалтерия'"), 1);
    EXPECT_TRUE(UserDayFigures(history_, "nobody", 202603).empty());
}

TEST_F(Recording, TheClosingRecordIsTakenWhateverTheHourAndKeptApart) {
    Record(At(20260401, 0, 10), {User("ivanov", 100, 2000, 300, 2000), User("petrov", 5, 0, 0)});
    EXPECT_EQ(Record(At(20260401, 0, 12), {User("ivanov", 110, 2000, 290, 2000), User("petrov", 5, 0, 0)},
                     RecordKind::Closing),
              RecordOutcome::Recorded);
    // After the reset, a refresh later that day overwrites the day's last record, not the closing one.
    Record(At(20260401, 9), {User("ivanov", 150, 2000, 2000, 2000), User("petrov", 5, 0, 0)});
    EXPECT_EQ(Count("SELECT count(*) FROM refresh WHERE closing = 1"), 1);
    EXPECT_EQ(Count("SELECT count(*) FROM closing"), 2);
    EXPECT_EQ(Count("SELECT closing_balance FROM closing WHERE account = 'ivanov'"), 290);
    EXPECT_EQ(Count("SELECT closing_balance FROM day WHERE account = 'ivanov'"), 2000);
    EXPECT_EQ(UserDayFigures(history_, "ivanov", 202604)[0].usage.traffic[0], 50);
}

TEST_F(Recording, MonthsOfAUserAndOfTheSiteAndTheMonthSoFar) {
    Record(At(20260130, 12), {User("ivanov", 0, 100, 100, 1000), User("petrov", 0)});
    Record(At(20260131, 12), {User("ivanov", 10, 100, 90, 1000), User("petrov", 1)});
    Record(At(20260201, 12), {User("ivanov", 30, 100, 70, 1000), User("petrov", 4)});
    Record(At(20260210, 12), {User("ivanov", 60, 100, 40, 1000), User("petrov", 8)});
    Record(At(20251231, 12), {User("ivanov", 60, 100, 40, 1000), User("petrov", 8)});  // another year

    const std::vector<MonthFigures> months = UserMonthFigures(history_, "ivanov", 2026);
    ASSERT_EQ(months.size(), 2u);
    EXPECT_EQ(months[0].month, 202601);
    EXPECT_EQ(months[0].usage.traffic[0], 10);
    EXPECT_EQ(months[0].usage.Traffic(), 40);
    EXPECT_EQ(months[0].balances, (BalanceFigures{100, 90, 1000}));
    EXPECT_EQ(months[1].month, 202602);
    EXPECT_EQ(months[1].usage.traffic[2], 50);
    EXPECT_EQ(months[1].balances, (BalanceFigures{100, 40, 1000}));

    const std::vector<SiteMonthFigures> site = SiteMonths(history_, 2026);
    ASSERT_EQ(site.size(), 2u);
    EXPECT_EQ(site[0].month, 202601);
    EXPECT_EQ(site[0].usage.traffic[1], 10 + 1);
    EXPECT_EQ(site[1].usage.time_on_line, 50 + 7);
    EXPECT_EQ(SiteMonths(history_, 2025).size(), 1u);

    const MonthToDate so_far = UserMonthToDate(history_, "ivanov", 20260215);
    EXPECT_EQ(so_far.month, 202602);
    EXPECT_EQ(so_far.days_elapsed, 15);
    EXPECT_TRUE(so_far.recorded);
    EXPECT_EQ(so_far.usage.traffic[0], 50);
    EXPECT_EQ(so_far.balances, (BalanceFigures{100, 40, 1000}));
    // Up to the 5th, the record of the 10th is not part of it.
    EXPECT_EQ(UserMonthToDate(history_, "ivanov", 20260205).usage.traffic[0], 20);
    const MonthToDate none = UserMonthToDate(history_, "ivanov", 20260301);
    EXPECT_FALSE(none.recorded);
    EXPECT_EQ(none.days_elapsed, 1);
}

}  // namespace
}  // namespace tarnwell
