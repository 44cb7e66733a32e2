#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tarnwell {

// One user row's figures as the loader read them from the database, before they became text: what the
// totals add up and the conversion turns into display text, so that neither parses the table back.
struct UserFigures {
    std::int64_t traffic[4] = {};       // the four traffic counters in column order, bytes
    std::int64_t time_on_line = 0;      // seconds
    std::int64_t opening_balance = 0;   // bytes
    std::int64_t closing_balance = 0;   // bytes
    std::optional<std::int64_t> limit;  // bytes; none for a user without a limit
};

// The user rows' figures in row order: element i belongs to row i + 1.
using StatisticsFigures = std::vector<UserFigures>;

}  // namespace tarnwell
