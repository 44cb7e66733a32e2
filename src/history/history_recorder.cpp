#include "history/history_recorder.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "history/counter_usage.h"
#include "text/cp1251.h"

namespace tarnwell {

namespace {

// The five counters of a record in one row: the four traffic counters in column order, then the time on
// line.
constexpr int kCounters = 5;
using Counters = std::array<std::int64_t, kCounters>;

Counters CountersOf(const UserFigures& user) {
    return {user.traffic[0], user.traffic[1], user.traffic[2], user.traffic[3], user.time_on_line};
}

// An account's last record as its day row keeps it.
struct LastRecord {
    Counters counters{};
    std::int64_t opening_balance = 0;
    std::int64_t closing_balance = 0;
    std::optional<std::int64_t> limit;

    bool SameAs(const UserFigures& user) const {
        return counters == CountersOf(user) && opening_balance == user.opening_balance &&
               closing_balance == user.closing_balance && limit == user.limit;
    }
};

struct LastRefresh {
    std::int64_t at = 0;
    int day = 0;
};

std::optional<LastRefresh> LastRecorded(SqliteConnection& connection) {
    SqliteStatement query(connection, "SELECT at, day FROM refresh ORDER BY id DESC LIMIT 1");
    if (!query.Step()) return std::nullopt;
    return LastRefresh{query.Number(0), static_cast<int>(query.Number(1))};
}

bool Due(const std::optional<LastRefresh>& last, const RecordTime& time) {
    if (!last) return true;
    return time.at >= last->at + kRecordIntervalSeconds || time.at <= last->at - kRecordIntervalSeconds;
}

// An account's row of a day, by its name (UTF-8).
struct DayRow {
    std::string account;
    LastRecord last;
};

// Every account's row of the day, in the order of the key: by name, as std::string compares (SQLite
// compares text byte by byte too).
std::vector<DayRow> DayRows(SqliteConnection& connection, int day) {
    SqliteStatement query(connection,
                          "SELECT account, last_client_send_traffic, last_nonclient_recv_traffic, "
                          "last_client_recv_traffic, last_nonclient_send_traffic, last_time_on_line, "
                          "opening_balance, closing_balance, monthly_limit FROM day WHERE day = ?1 ORDER BY account");
    query.Bind(1, std::int64_t{day});
    std::vector<DayRow> rows;
    while (query.Step()) {
        DayRow& row = rows.emplace_back();
        row.account = query.Text(0);
        for (int i = 0; i < kCounters; ++i) row.last.counters[static_cast<std::size_t>(i)] = query.Number(1 + i);
        row.last.opening_balance = query.Number(6);
        row.last.closing_balance = query.Number(7);
        row.last.limit = query.OptionalNumber(8);
    }
    return rows;
}

// A day row: written new on the day's first record of the account, else brought up to this record; a
// record of a day that has rows already (a clock set back) adds to them. Parameters: ?1 day, ?2 account,
// ?3 refresh, ?4 to ?8 the counters' usage, ?9 to ?13 the counters, ?14 and ?15 the balances, ?16 the limit.
constexpr const char* kInsertDay =
    "INSERT INTO day (day, account, refresh, client_send_traffic, nonclient_recv_traffic, client_recv_traffic, "
    "nonclient_send_traffic, time_on_line, last_client_send_traffic, last_nonclient_recv_traffic, "
    "last_client_recv_traffic, last_nonclient_send_traffic, last_time_on_line, opening_balance, closing_balance, "
    "monthly_limit) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)";
constexpr const char* kAddToDay =
    "UPDATE day SET refresh = ?3, client_send_traffic = client_send_traffic + ?4, "
    "nonclient_recv_traffic = nonclient_recv_traffic + ?5, client_recv_traffic = client_recv_traffic + ?6, "
    "nonclient_send_traffic = nonclient_send_traffic + ?7, time_on_line = time_on_line + ?8, "
    "last_client_send_traffic = ?9, last_nonclient_recv_traffic = ?10, last_client_recv_traffic = ?11, "
    "last_nonclient_send_traffic = ?12, last_time_on_line = ?13, opening_balance = ?14, closing_balance = ?15, "
    "monthly_limit = ?16 WHERE day = ?1 AND account = ?2";
constexpr const char* kInsertOrAddToDay =
    "INSERT INTO day (day, account, refresh, client_send_traffic, nonclient_recv_traffic, client_recv_traffic, "
    "nonclient_send_traffic, time_on_line, last_client_send_traffic, last_nonclient_recv_traffic, "
    "last_client_recv_traffic, last_nonclient_send_traffic, last_time_on_line, opening_balance, closing_balance, "
    "monthly_limit) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16) "
    "ON CONFLICT (day, account) DO UPDATE SET refresh = excluded.refresh, "
    "client_send_traffic = client_send_traffic + excluded.client_send_traffic, "
    "nonclient_recv_traffic = nonclient_recv_traffic + excluded.nonclient_recv_traffic, "
    "client_recv_traffic = client_recv_traffic + excluded.client_recv_traffic, "
    "nonclient_send_traffic = nonclient_send_traffic + excluded.nonclient_send_traffic, "
    "time_on_line = time_on_line + excluded.time_on_line, "
    "last_client_send_traffic = excluded.last_client_send_traffic, "
    "last_nonclient_recv_traffic = excluded.last_nonclient_recv_traffic, "
    "last_client_recv_traffic = excluded.last_client_recv_traffic, "
    "last_nonclient_send_traffic = excluded.last_nonclient_send_traffic, "
    "last_time_on_line = excluded.last_time_on_line, opening_balance = excluded.opening_balance, "
    "closing_balance = excluded.closing_balance, monthly_limit = excluded.monthly_limit";

constexpr const char* kUpsertSiteDay =
    "INSERT INTO site_day (day, client_send_traffic, nonclient_recv_traffic, client_recv_traffic, "
    "nonclient_send_traffic, time_on_line) VALUES (?1, ?2, ?3, ?4, ?5, ?6) "
    "ON CONFLICT (day) DO UPDATE SET client_send_traffic = client_send_traffic + excluded.client_send_traffic, "
    "nonclient_recv_traffic = nonclient_recv_traffic + excluded.nonclient_recv_traffic, "
    "client_recv_traffic = client_recv_traffic + excluded.client_recv_traffic, "
    "nonclient_send_traffic = nonclient_send_traffic + excluded.nonclient_send_traffic, "
    "time_on_line = time_on_line + excluded.time_on_line";

constexpr const char* kInsertClosing =
    "INSERT OR REPLACE INTO closing (refresh, account, client_send_traffic, nonclient_recv_traffic, "
    "client_recv_traffic, nonclient_send_traffic, time_on_line, opening_balance, closing_balance, monthly_limit) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)";

// The figures' accounts with their names in UTF-8, in the order of the day table's key, so that the rows
// of one day are written front to back.
struct NamedUser {
    std::string name;
    const UserFigures* user;
};

std::vector<NamedUser> NamedUsers(const StatisticsFigures& figures) {
    std::vector<NamedUser> users;
    users.reserve(figures.size());
    for (const UserFigures& user : figures) users.push_back({Cp1251ToUtf8(user.account), &user});
    std::sort(users.begin(), users.end(), [](const NamedUser& a, const NamedUser& b) { return a.name < b.name; });
    return users;
}

}  // namespace

RecordOutcome RecordFigures(HistoryDatabase& history, const StatisticsFigures& figures, const RecordTime& time,
                            RecordKind kind) {
    SqliteConnection& connection = history.Connection();
    // A look without the lock first: most refreshes record nothing and should not wait on another run.
    if (kind == RecordKind::Hourly && !Due(LastRecorded(connection), time)) return RecordOutcome::NotDue;

    SqliteTransaction transaction(connection);
    const std::optional<LastRefresh> last = LastRecorded(connection);
    if (kind == RecordKind::Hourly && !Due(last, time)) return RecordOutcome::NotDue;

    SqliteStatement(connection, "INSERT INTO refresh (at, day, closing) VALUES (?1, ?2, ?3)")
        .Bind(1, time.at)
        .Bind(2, std::int64_t{time.day})
        .Bind(3, std::int64_t{kind == RecordKind::Closing ? 1 : 0})
        .Run();
    const std::int64_t refresh = connection.QueryNumber("SELECT last_insert_rowid()").value_or(0);

    const std::vector<DayRow> previous = last ? DayRows(connection, last->day) : std::vector<DayRow>{};
    const bool same_day = last && last->day == time.day;
    // The previous record's day is today: its rows are today's. A later day has none yet, unless the
    // clock was set back to a day that has.
    const bool later_day = !last || time.day > last->day;

    SqliteStatement insert_row(connection, later_day ? kInsertDay : kInsertOrAddToDay);
    std::optional<SqliteStatement> add_to_row;
    if (same_day) add_to_row.emplace(connection, kAddToDay);
    std::optional<SqliteStatement> closing_row;
    if (kind == RecordKind::Closing) closing_row.emplace(connection, kInsertClosing);
    Counters site{};
    // Both in the order of the names: the previous row of each account is found walking along.
    auto previous_row = previous.begin();
    for (const NamedUser& named : NamedUsers(figures)) {
        const UserFigures& user = *named.user;
        const Counters counters = CountersOf(user);
        while (previous_row != previous.end() && previous_row->account < named.name) ++previous_row;
        const LastRecord* found =
            previous_row != previous.end() && previous_row->account == named.name ? &previous_row->last : nullptr;
        const bool has_row_today = same_day && found != nullptr;
        if (has_row_today && found->SameAs(user) && kind == RecordKind::Hourly) {
            continue;  // its row of today holds these figures already
        }
        SqliteStatement& day_row = has_row_today ? *add_to_row : insert_row;
        day_row.Bind(1, std::int64_t{time.day}).Bind(2, named.name).Bind(3, refresh);
        for (int i = 0; i < kCounters; ++i) {
            const auto c = static_cast<std::size_t>(i);
            const std::int64_t usage = found != nullptr ? CounterUsage(found->counters[c], counters[c]) : 0;
            site[c] += usage;
            day_row.Bind(4 + i, usage).Bind(9 + i, counters[c]);
        }
        day_row.Bind(14, user.opening_balance).Bind(15, user.closing_balance).Bind(16, user.limit).Run();
        if (closing_row) {
            closing_row->Bind(1, refresh).Bind(2, named.name);
            for (int i = 0; i < kCounters; ++i) closing_row->Bind(3 + i, counters[static_cast<std::size_t>(i)]);
            closing_row->Bind(8, user.opening_balance).Bind(9, user.closing_balance).Bind(10, user.limit).Run();
        }
    }
    SqliteStatement site_row(connection, kUpsertSiteDay);
    site_row.Bind(1, std::int64_t{time.day});
    for (int i = 0; i < kCounters; ++i) site_row.Bind(2 + i, site[static_cast<std::size_t>(i)]);
    site_row.Run();

    transaction.Commit();
    return RecordOutcome::Recorded;
}

}  // namespace tarnwell
