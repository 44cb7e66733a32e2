#pragma once

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "history/history_database.h"
#include "history/history_recorder.h"
#include "stats/statistics_figures.h"

namespace tarnwell {

// The traffic history of one run of the program: the statistics refresh and /setlimit record into it, the
// charts and the warnings read it. The file is opened at the first use and stays open for the run.
//
// A history that cannot be written never stops the refresh or a job: a failure becomes one warning
// line, "История трафика не записана: " and the reason, handed to `warn` (which shows it without
// counting it as a message), and the run goes on. A file that cannot be opened is tried once per run;
// a record that fails is tried again at the next refresh.
class TrafficHistory {
public:
    using WarningSink = std::function<void(std::string_view)>;  // Windows-1251 text
    using Clock = std::function<std::time_t()>;

    // `path` empty: the history is off (TARNWELL_HISTORY=0) and nothing is recorded or read.
    TrafficHistory(
        std::string path, WarningSink warn, Clock clock = [] { return std::time(nullptr); });

    bool Enabled() const { return !path_.empty(); }

    // A statistics refresh: records the figures when the last record is an hour or more away.
    void RecordRefresh(const StatisticsFigures& figures);
    // /setlimit before the monthly reset: records the figures as the month's closing record, whatever the
    // hour.
    void RecordClosing(const StatisticsFigures& figures);

    // The open history for reading, opened now if it was not; none when the history is off or cannot be
    // opened (that was warned of).
    HistoryDatabase* Database();

private:
    void Record(const StatisticsFigures& figures, RecordKind kind);
    void TellFailure(std::string_view reason) const;

    std::string path_;
    WarningSink warn_;
    Clock clock_;
    std::unique_ptr<HistoryDatabase> database_;
    bool open_failed_ = false;
};

// Where the run keeps its history: history.sqlite3 in the program's folder (the folder of settings.ini),
// or nothing when the environment variable TARNWELL_HISTORY is "0".
std::string HistoryFile(const std::string& program_folder);

}  // namespace tarnwell
