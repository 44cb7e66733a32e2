#pragma once

#include "history/history_database.h"
#include "history/record_time.h"
#include "stats/statistics_figures.h"

namespace tarnwell {

enum class RecordKind {
    Hourly,   // a statistics refresh: recorded only when the last record is an hour or more away
    Closing,  // /setlimit before the monthly reset: recorded whatever the hour, kept apart in full
};

// What RecordFigures did.
enum class RecordOutcome { Recorded, NotDue };

// Records every user's figures (under UserFigures::account, the account's key name; counters, balances
// and limit) as taken at `time`, in one transaction:
//   - a refresh row with the time;
//   - for each account, what its counters counted since its previous record (CounterUsage; nothing for an
//     account the previous record did not hold), added to its row of the record's day, which then holds
//     this record as the day's last. The previous record of every account is the last recorded day's row:
//     each recorded day gets a row for every account present. On a day that has them already, an account
//     whose figures did not change since is left as it is;
//   - the accounts' usage added to the site's row of the day;
//   - for a closing record, every account's figures in `closing` as well.
// An hourly record is not due (NotDue, nothing written) while the last record lies less than an hour
// before or after `time` (a clock set back by more than an hour records again). Throws HistoryError when
// the history cannot be read or written; nothing of the record is then kept.
RecordOutcome RecordFigures(HistoryDatabase& history, const StatisticsFigures& figures, const RecordTime& time,
                            RecordKind kind);

inline constexpr std::int64_t kRecordIntervalSeconds = 3600;

}  // namespace tarnwell
