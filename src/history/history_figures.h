#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "history/history_database.h"

namespace tarnwell {

// What the history tells of the past: a user's traffic per day and per month, the whole site's per month,
// and the month so far, for the charts and the warning before the limit. Accounts are named by their key
// names in Windows-1251, as UserFigures::account has them. A day is yyyymmdd, a month yyyymm, a year yyyy
// (record_time.h). Every reader throws HistoryError when the history cannot be read.

// What the counters counted over a span: the sums of the differences of consecutive records in it. Traffic
// in bytes, in the statistics table's column order; time on line in seconds.
struct CounterTotals {
    std::int64_t traffic[4] = {};
    std::int64_t time_on_line = 0;

    std::int64_t Traffic() const { return traffic[0] + traffic[1] + traffic[2] + traffic[3]; }
    CounterTotals& operator+=(const CounterTotals& other);
    bool operator==(const CounterTotals&) const = default;
};

// A user's balances and limit as the last record of a span held them, in bytes; no limit for a user
// without one.
struct BalanceFigures {
    std::int64_t opening_balance = 0;
    std::int64_t closing_balance = 0;
    std::optional<std::int64_t> limit;
    bool operator==(const BalanceFigures&) const = default;
};

// A recorded day of a user. A day without a record has no figure of its own: its traffic falls on the
// next recorded day.
struct DayFigures {
    int day = 0;
    CounterTotals usage;
    BalanceFigures balances;
};

// A month of a user in which at least one day was recorded.
struct MonthFigures {
    int month = 0;
    CounterTotals usage;
    BalanceFigures balances;  // of the month's last recorded day
};

// A month of the whole site in which at least one day was recorded.
struct SiteMonthFigures {
    int month = 0;
    CounterTotals usage;
};

// A user's month up to and including a day: what he used so far, over how many days, and his balances and
// limit now (for the date at which his limit would run out at this month's rate).
struct MonthToDate {
    int month = 0;
    int days_elapsed = 0;   // the days of the month up to and including `today`: 1 on the 1st
    bool recorded = false;  // whether the month has a record of the user at all
    CounterTotals usage;
    BalanceFigures balances;  // of his last record in the month (none recorded: zeros, no limit)
};

// The user's recorded days of the month, in date order.
std::vector<DayFigures> UserDayFigures(HistoryDatabase& history, std::string_view account, int month);
// The user's months of the year that hold a recorded day, in order.
std::vector<MonthFigures> UserMonthFigures(HistoryDatabase& history, std::string_view account, int year);
// The whole site's months of the year that hold a recorded day, in order: every account's usage added up.
std::vector<SiteMonthFigures> SiteMonths(HistoryDatabase& history, int year);
// The user's month of `today` (yyyymmdd) up to that day.
MonthToDate UserMonthToDate(HistoryDatabase& history, std::string_view account, int today);

}  // namespace tarnwell
