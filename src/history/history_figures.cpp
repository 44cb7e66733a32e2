#include "history/history_figures.h"

#include "history/record_time.h"
#include "text/cp1251.h"

namespace tarnwell {

namespace {

// Five columns from `first` on: the four traffic counters in column order, then the time on line.
CounterTotals TotalsAt(const SqliteStatement& row, int first) {
    CounterTotals totals;
    for (int i = 0; i < 4; ++i) totals.traffic[i] = row.Number(first + i);
    totals.time_on_line = row.Number(first + 4);
    return totals;
}

// The user's rows of the recorded days between two dates. The recorded days come from the refresh table,
// and each is one look-up in the day table's key (day, account): a user's year costs at most 366 of them,
// however many accounts the site has. (CROSS JOIN keeps SQLite from scanning every account's rows of the
// span instead.)
std::vector<DayFigures> UserDays(HistoryDatabase& history, std::string_view account, int first_day, int last_day) {
    SqliteStatement query(history.Connection(),
                          "SELECT u.day, u.client_send_traffic, u.nonclient_recv_traffic, u.client_recv_traffic, "
                          "u.nonclient_send_traffic, u.time_on_line, u.opening_balance, u.closing_balance, "
                          "u.monthly_limit "
                          "FROM (SELECT DISTINCT day FROM refresh WHERE day BETWEEN ?1 AND ?2) AS d "
                          "CROSS JOIN day AS u ON u.day = d.day AND u.account = ?3 ORDER BY u.day");
    query.Bind(1, std::int64_t{first_day}).Bind(2, std::int64_t{last_day}).Bind(3, Cp1251ToUtf8(account));
    std::vector<DayFigures> days;
    while (query.Step()) {
        DayFigures day;
        day.day = static_cast<int>(query.Number(0));
        day.usage = TotalsAt(query, 1);
        day.balances = {query.Number(6), query.Number(7), query.OptionalNumber(8)};
        days.push_back(day);
    }
    return days;
}

}  // namespace

CounterTotals& CounterTotals::operator+=(const CounterTotals& other) {
    for (int i = 0; i < 4; ++i) traffic[i] += other.traffic[i];
    time_on_line += other.time_on_line;
    return *this;
}

std::vector<DayFigures> UserDayFigures(HistoryDatabase& history, std::string_view account, int month) {
    return UserDays(history, account, FirstDayOfMonth(month), LastDayOfMonth(month));
}

std::vector<MonthFigures> UserMonthFigures(HistoryDatabase& history, std::string_view account, int year) {
    std::vector<MonthFigures> months;
    for (const DayFigures& day :
         UserDays(history, account, FirstDayOfMonth(year * 100 + 1), LastDayOfMonth(year * 100 + 12))) {
        const int month = MonthOfDay(day.day);
        if (months.empty() || months.back().month != month) months.push_back(MonthFigures{month, {}, {}});
        months.back().usage += day.usage;
        months.back().balances = day.balances;
    }
    return months;
}

std::vector<SiteMonthFigures> SiteMonths(HistoryDatabase& history, int year) {
    SqliteStatement query(history.Connection(),
                          "SELECT day / 100, sum(client_send_traffic), sum(nonclient_recv_traffic), "
                          "sum(client_recv_traffic), sum(nonclient_send_traffic), sum(time_on_line) "
                          "FROM site_day WHERE day BETWEEN ?1 AND ?2 GROUP BY day / 100 ORDER BY 1");
    query.Bind(1, std::int64_t{FirstDayOfMonth(year * 100 + 1)}).Bind(2, std::int64_t{LastDayOfMonth(year * 100 + 12)});
    std::vector<SiteMonthFigures> months;
    while (query.Step()) {
        months.push_back(SiteMonthFigures{static_cast<int>(query.Number(0)), TotalsAt(query, 1)});
    }
    return months;
}

MonthToDate UserMonthToDate(HistoryDatabase& history, std::string_view account, int today) {
    MonthToDate so_far;
    so_far.month = MonthOfDay(today);
    so_far.days_elapsed = DayOfMonth(today);
    for (const DayFigures& day : UserDays(history, account, FirstDayOfMonth(so_far.month), today)) {
        so_far.recorded = true;
        so_far.usage += day.usage;
        so_far.balances = day.balances;
    }
    return so_far;
}

}  // namespace tarnwell
