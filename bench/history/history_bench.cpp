// The traffic history on disk: 10,000 users recorded once a day for a year, then
//
//   bench_history record    the record of one refresh (a new day, every account changed; a later refresh
//                           the same day with every account changed, and with a tenth of them changed),
//                           a user's year read back (his months, and the days of one month), the site's
//                           months of the year; targets: record under 20 ms, a user's year under 5 ms
//   bench_history refresh   the statistics refresh of 10,000 users from a registry export file as the
//                           "Статистика" button runs it, without the history, with it when no record is
//                           due (the refreshes within an hour of the last record) and with it when one is,
//                           in turns, in the same run; target: at most 10% over the refresh without it
//
// The history is made in the current folder (history.sqlite3, removed at the end unless KEEP is set).
// Figures are medians (and the slowest or fastest where it says) of wall time and of the process's
// processor time.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/memory_reuse.h"
#include "common/figure.h"
#include "common/generated_database.h"
#include "common/stopwatch.h"
#include "history/history_figures.h"
#include "history/history_recorder.h"
#include "history/traffic_history.h"
#include "stats/statistics_refresh.h"
#include "stats/statistics_table.h"

namespace tarnwell {
namespace {

constexpr int kUsers = 10000;
constexpr int kDays = 365;
constexpr int kRuns = 21;

using bench::Stopwatch;
using bench::Timing;

struct Summary {
    double wall = 0, cpu = 0, slowest = 0, fastest = 0;
};

Summary Summarize(const std::vector<Timing>& runs) {
    std::vector<double> wall, cpu;
    for (const Timing& t : runs) {
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2], wall.back(), wall.front()};
}

void Print(const char* what, const std::vector<Timing>& runs, double target_ms) {
    const Summary s = Summarize(runs);
    std::printf("%-58s wall median %7.2f ms (slowest %7.2f), processor median %7.2f ms", what, s.wall, s.slowest,
                s.cpu);
    if (target_ms > 0) std::printf("; target %.0f ms: %s", target_ms, s.wall < target_ms ? "met" : "missed");
    std::printf("\n");
    const std::string figure = bench::Text("%.2f ms (processor %.2f ms)", s.wall, s.cpu);
    const std::string title = std::string("traffic history, 10,000 users: ") + what;
    if (target_ms > 0) {
        bench::PrintFigure(title, figure, bench::Text("under %.0f ms", target_ms), bench::Verdict(s.wall < target_ms));
    } else {
        bench::PrintFigure(title, figure);
    }
}

// The day's figures: every counter of user i grows by a different amount each day; some wrap at 2^32.
StatisticsFigures Figures(int day) {
    StatisticsFigures figures(kUsers);
    for (int i = 0; i < kUsers; ++i) {
        UserFigures& user = figures[static_cast<std::size_t>(i)];
        user.account = "user" + std::to_string(i);
        const std::int64_t grows = (i % 97 + 1) * 1000 * std::int64_t{day};
        for (int c = 0; c < 4; ++c) user.traffic[c] = (grows * (c + 1) + i) % 4294967296;
        user.time_on_line = grows / 1000;
        user.opening_balance = 20000000;
        user.closing_balance = 20000000 - grows % 20000000;
        if (i % 3 != 0) user.limit = 20000000;
    }
    return figures;
}

// The day'th day from 1 January 2026 (UTC), at the hour.
RecordTime DayTime(int day, int hour) {
    using namespace std::chrono;
    const sys_days date = sys_days{year{2026} / January / 1} + days{day};
    const year_month_day ymd{date};
    return RecordTime{static_cast<std::int64_t>(date.time_since_epoch().count()) * 86400 + hour * 3600,
                      static_cast<int>(ymd.year()) * 10000 +
                          static_cast<int>(static_cast<unsigned>(ymd.month())) * 100 +
                          static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int Record() {
    const std::string path = "history.sqlite3";
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    HistoryDatabase history(path);
    std::vector<Timing> year;
    for (int day = 0; day < kDays; ++day) {
        const StatisticsFigures figures = Figures(day);
        Stopwatch watch;
        RecordFigures(history, figures, DayTime(day, 12), RecordKind::Hourly);
        year.push_back(watch.Stop());
    }
    std::printf("history: %d users x %d days, %.0f MB on disk\n", kUsers, kDays,
                static_cast<double>(std::filesystem::file_size(path)) / 1e6);
    Print("record of each day while the year was made", year, 20);

    std::vector<Timing> new_day, same_day, tenth;
    for (int run = 0; run < kRuns; ++run) {
        const int day = kDays + run;
        StatisticsFigures figures = Figures(day);
        Stopwatch a;
        RecordFigures(history, figures, DayTime(day, 9), RecordKind::Hourly);
        new_day.push_back(a.Stop());
        figures = Figures(day * 2);
        Stopwatch b;
        RecordFigures(history, figures, DayTime(day, 11), RecordKind::Hourly);
        same_day.push_back(b.Stop());
        for (int i = 0; i < kUsers; i += 10) figures[static_cast<std::size_t>(i)].traffic[0] += 1000;
        Stopwatch c;
        RecordFigures(history, figures, DayTime(day, 13), RecordKind::Hourly);
        tenth.push_back(c.Stop());
    }
    Print("record: first of a day, all 10,000 accounts written", new_day, 20);
    Print("record: later the same day, every account changed", same_day, 20);
    Print("record: later the same day, a tenth of them changed", tenth, 20);

    std::mt19937 random(5);
    std::vector<Timing> months, days, site;
    std::size_t rows = 0;
    for (int run = 0; run < 101; ++run) {
        const std::string account = "user" + std::to_string(random() % kUsers);
        Stopwatch a;
        rows += UserMonthFigures(history, account, 2026).size();
        months.push_back(a.Stop());
        Stopwatch b;
        rows += UserDayFigures(history, account, 202606).size();
        days.push_back(b.Stop());
        Stopwatch c;
        rows += SiteMonths(history, 2026).size();
        site.push_back(c.Stop());
    }
    std::printf("read back: %zu figures\n", rows);
    Print("a user's year: his months of 2026", months, 5);
    Print("a user's month: his days of June", days, 0);
    Print("the site's months of 2026", site, 0);
    if (!std::getenv("KEEP")) {
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    }
    return 0;  // figures, not a test: a slow shared machine must not fail the run
}

class Quiet : public UserNotifier {
public:
    void ShowMessage(std::string_view text) override {
        std::fprintf(stderr, "message: %.*s\n", int(text.size()), text.data());
    }
};

int Refresh() {
    const std::filesystem::path file = "bench_history.reg";
    std::ofstream(file, std::ios::binary) << bench::GeneratedDatabase(kUsers, true);
    const std::string path = "history.sqlite3";
    for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    auto location = UserDatabaseLocation::RegFile(file.string());
    TTableGrid grid(stat_col::Count, 5);
    grid.SetFixedRows(1);
    Quiet quiet;
    std::vector<bool> columns(stat_col::Count, true);
    columns[stat_col::RealName] = false;
    std::time_t now = std::time(nullptr);
    int warnings = 0;
    TrafficHistory history(
        path, [&](std::string_view) { ++warnings; }, [&] { return now; });
    StatisticsFigures figures;

    std::vector<Timing> off, on, recording;
    auto refresh = [&](bool with_history) {
        Stopwatch watch;
        if (!RefreshStatistics(grid, *location.Open(), quiet, TrafficDisplay{0, 2, true}, columns, HeadlessTextWidth(),
                               figures)) {
            std::exit(1);
        }
        if (with_history) history.RecordRefresh(figures);
        return watch.Stop();
    };
    refresh(true);  // the history's first record, and the file opened: once per run in the program
    for (int run = 0; run < kRuns; ++run) {
        // In turns, so that a busy minute on the shared machine falls on all three alike.
        off.push_back(refresh(false));
        on.push_back(refresh(true));
        // A day later: the first record of a day writes every account's row, the most a record writes.
        now += 86400;
        recording.push_back(refresh(true));
    }
    Print("refresh without the history", off, 0);
    Print("refresh with the history, no record due", on, 0);
    Print("refresh with the history, recording", recording, 0);
    const Summary a = Summarize(off), b = Summarize(on), c = Summarize(recording);
    std::printf(
        "with the history, no record due: %.3fx the refresh without it by the wall time, %.3fx by the "
        "processor time (target at most 1.10x: %s); recording: %.3fx, %.3fx\n",
        b.wall / a.wall, b.cpu / a.cpu, b.cpu / a.cpu <= 1.10 ? "met" : "missed", c.wall / a.wall, c.cpu / a.cpu);
    bench::PrintFigure("statistics refresh, 10,000 users, with the history, no record due",
                       bench::Text("%.3fx the processor time without it", b.cpu / a.cpu), "at most 1.10x",
                       bench::Verdict(b.cpu / a.cpu <= 1.10));
    if (warnings != 0) std::printf("%d warnings from the history\n", warnings);
    if (!std::getenv("KEEP")) {
        std::filesystem::remove(file);
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(path + suffix);
    }
    return 0;
}

}  // namespace
}  // namespace tarnwell

int main(int argc, char** argv) {
    const std::string mode = argc == 2 ? argv[1] : "";
    if (mode != "record" && mode != "refresh") {
        std::fprintf(stderr, "usage: bench_history record|refresh\n");
        return 2;
    }
    tarnwell::ReuseFreedMemory();
    return mode == "record" ? tarnwell::Record() : tarnwell::Refresh();
}
