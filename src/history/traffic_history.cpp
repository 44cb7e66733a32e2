#include "history/traffic_history.h"

#include <utility>

#include "history/history_error.h"
#include "text/cp1251_literal.h"
#include "text/program_folder.h"

namespace tarnwell {

using namespace literals;

TrafficHistory::TrafficHistory(std::string path, WarningSink warn, Clock clock)
    : path_(std::move(path)), warn_(std::move(warn)), clock_(std::move(clock)) {}

void TrafficHistory::TellFailure(std::string_view reason) const {
    if (warn_) warn_(std::string("История трафика не записана: "_cp) + std::string(reason));
}

HistoryDatabase* TrafficHistory::Database() {
    if (database_ || !Enabled() || open_failed_) return database_.get();
    try {
        database_ = std::make_unique<HistoryDatabase>(path_);
    } catch (const HistoryError& e) {
        open_failed_ = true;
        TellFailure(e.what());
    }
    return database_.get();
}

void TrafficHistory::Record(const StatisticsFigures& figures, RecordKind kind) {
    HistoryDatabase* database = Database();
    if (database == nullptr) return;
    try {
        RecordFigures(*database, figures, LocalRecordTime(clock_()), kind);
    } catch (const HistoryError& e) {
        TellFailure(e.what());
    }
}

void TrafficHistory::RecordRefresh(const StatisticsFigures& figures) {
    Record(figures, RecordKind::Hourly);
}

void TrafficHistory::RecordClosing(const StatisticsFigures& figures) {
    Record(figures, RecordKind::Closing);
}

std::string HistoryFile(const std::string& program_folder) {
    if (EnvironmentVariable("TARNWELL_HISTORY") == std::optional<std::string>("0")) return {};
    return JoinPath(program_folder, kHistoryFileName);
}

}  // namespace tarnwell
