#include "history/warning_log.h"

#include "text/cp1251.h"

namespace tarnwell {

bool WasWarned(HistoryDatabase& history, std::string_view account, int month) {
    SqliteStatement query(history.Connection(), "SELECT 1 FROM warning WHERE account = ?1 AND month = ?2");
    query.Bind(1, Cp1251ToUtf8(account)).Bind(2, std::int64_t{month});
    return query.Step();
}

std::set<std::string> WarnedAccounts(HistoryDatabase& history, int month) {
    // The key orders the rows by account first: a month's rows are picked out of the whole table, which
    // holds at most one row per user and month.
    SqliteStatement query(history.Connection(), "SELECT account FROM warning WHERE month = ?1");
    query.Bind(1, std::int64_t{month});
    std::set<std::string> accounts;
    while (query.Step()) accounts.insert(Utf8ToCp1251(query.Text(0)));
    return accounts;
}

void RecordWarning(HistoryDatabase& history, std::string_view account, int month, std::int64_t at) {
    SqliteTransaction transaction(history.Connection());
    SqliteStatement(history.Connection(), "INSERT OR IGNORE INTO warning (account, month, at) VALUES (?1, ?2, ?3)")
        .Bind(1, Cp1251ToUtf8(account))
        .Bind(2, std::int64_t{month})
        .Bind(3, at)
        .Run();
    transaction.Commit();
}

}  // namespace tarnwell
