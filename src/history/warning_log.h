#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "history/history_database.h"

namespace tarnwell {

// Which users were warned that their limit runs out, and in which month: at most one warning per user and
// month. Accounts are key names in Windows-1251, months yyyymm. Each call is its own transaction; each
// throws HistoryError when the history cannot be read or written.

// Whether the account was warned in the month.
bool WasWarned(HistoryDatabase& history, std::string_view account, int month);

// The accounts warned in the month, for a whole run at once.
std::set<std::string> WarnedAccounts(HistoryDatabase& history, int month);

// Notes that the account was warned in the month at `at` (seconds since 1970 UTC). Noting a month twice
// keeps the first time: the answer to "was he warned" does not change.
void RecordWarning(HistoryDatabase& history, std::string_view account, int month, std::int64_t at);

}  // namespace tarnwell
