#pragma once

// Figures and times for the history's tests.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "history/record_time.h"
#include "stats/statistics_figures.h"

namespace tarnwell::history_testing {

// A user whose five counters (the four traffic counters and the time on line) all read `counter`.
inline UserFigures User(std::string account, std::int64_t counter, std::int64_t opening = 0, std::int64_t closing = 0,
                        std::optional<std::int64_t> limit = std::nullopt) {
    UserFigures user;
    for (auto& traffic : user.traffic) traffic = counter;
    user.time_on_line = counter;
    user.opening_balance = opening;
    user.closing_balance = closing;
    user.limit = limit;
    user.account = std::move(account);
    return user;
}

// A moment of a day (yyyymmdd) at hh:mm, counted as UTC: the day is given, so the time zone of the
// machine running the tests plays no part.
inline RecordTime At(int day, int hour, int minute = 0) {
    using namespace std::chrono;
    const sys_days date{year{day / 10000} / month{static_cast<unsigned>(day / 100 % 100)} /
                        std::chrono::day{static_cast<unsigned>(day % 100)}};
    return RecordTime{static_cast<std::int64_t>(date.time_since_epoch().count()) * 86400 + hour * 3600 + minute * 60,
                      day};
}

}  // namespace tarnwell::history_testing
