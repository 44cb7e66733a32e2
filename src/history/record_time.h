#pragma once

#include <cstdint>
#include <ctime>

namespace tarnwell {

// When a record was taken: the moment, and the local calendar day it counts for. The day is worked out
// once, when the record is written, so that the figures per day and per month do not move with the time
// zone or the clock of the machine that reads them later.
struct RecordTime {
    std::int64_t at = 0;  // seconds since 1970-01-01 00:00 UTC
    int day = 0;          // the local date as yyyymmdd, e.g. 20260315
};

// The moment with its local date on this machine.
RecordTime LocalRecordTime(std::time_t moment);

// Dates as the history keeps them: a day is yyyymmdd, a month yyyymm, a year yyyy.
constexpr int MonthOfDay(int day) {
    return day / 100;
}
constexpr int DayOfMonth(int day) {
    return day % 100;
}
constexpr int YearOfMonth(int month) {
    return month / 100;
}
// The first and the last day number a month can hold (the 1st and "the 31st"), for range queries.
constexpr int FirstDayOfMonth(int month) {
    return month * 100 + 1;
}
constexpr int LastDayOfMonth(int month) {
    return month * 100 + 31;
}

}  // namespace tarnwell
