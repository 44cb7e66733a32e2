#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stats/statistics_table.h"

namespace tarnwell {

// One user row's figures as the loader read them from the database, before they became text: what the
// totals add up and the conversion turns into display text, so that neither parses the table back.
struct UserFigures {
    std::int64_t traffic[4] = {};       // the four traffic counters in column order, bytes
    std::int64_t time_on_line = 0;      // seconds
    std::int64_t opening_balance = 0;   // bytes
    std::int64_t closing_balance = 0;   // bytes
    std::optional<std::int64_t> limit;  // bytes; none for a user without a limit
    std::string account;                // the account's key name, also for the row shown as "system"
};

// The user rows' figures in row order: element i belongs to row i + 1.
using StatisticsFigures = std::vector<UserFigures>;

// Calls put(column, bytes) for each byte count that a user's row shows converted, in column order: the
// four traffic columns, the two balances, and the limit when the user has one.
template <class Put>
void ForEachByteCount(const UserFigures& user, Put&& put) {
    for (int i = 0; i < 4; ++i) put(stat_col::ClientSendTraffic + i, user.traffic[i]);
    put(stat_col::OpeningBalance, user.opening_balance);
    put(stat_col::ClosingBalance, user.closing_balance);
    if (user.limit) put(stat_col::Limit, *user.limit);
}

}  // namespace tarnwell
