// A history that cannot be written stops nothing: the run's history turns each failure into one warning
// and goes on, and tries a failed record again at the next refresh.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "history/history_figures.h"
#include "history/traffic_history.h"
#include "history_test_support.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "text/cp1251.h"
#include "text/program_folder.h"

namespace tarnwell {
namespace {

using namespace history_testing;
using testing_support::TempFolder;

class RunHistory : public testing::Test {
protected:
    TrafficHistory& History(const std::string& path) {
        history_ = std::make_unique<TrafficHistory>(
            path, [this](std::string_view text) { warnings_.push_back(Cp1251ToUtf8(text)); }, [this] { return now_; });
        return *history_;
    }
    std::int64_t Records(const std::string& path) {
        HistoryDatabase history(path);
        return history.Connection().QueryNumber("SELECT count(*) FROM refresh").value_or(-1);
    }

    TempFolder folder_;
    const std::string path_ = folder_.File("history.sqlite3");
    std::time_t now_ = At(20260310, 12).at;
    std::vector<std::string> warnings_;
    std::unique_ptr<TrafficHistory> history_;
};

TEST_F(RunHistory, RecordsEveryRefreshAnHourApartAndTheClosingOneAtOnce) {
    TrafficHistory& history = History(path_);
    history.RecordRefresh({User("ivanov", 1)});
    now_ += 1800;
    history.RecordRefresh({User("ivanov", 2)});
    history.RecordClosing({User("ivanov", 3)});
    now_ += 3600;
    history.RecordRefresh({User("ivanov", 4)});
    EXPECT_EQ(warnings_, std::vector<std::string>{});
    ASSERT_NE(history.Database(), nullptr);
    EXPECT_EQ(UserDayFigures(*history.Database(), "ivanov", 202603).at(0).usage.traffic[0], 3);
    history_.reset();
    EXPECT_EQ(Records(path_), 3);
}

TEST_F(RunHistory, ALockedHistoryIsOneWarningAndTheNextRefreshRecords) {
    HistoryDatabase other_run(path_);
    TrafficHistory& history = History(path_);
    {
        SqliteTransaction lock(other_run.Connection());
        history.RecordRefresh({User("ivanov", 1)});
    }
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_EQ(warnings_[0], "История трафика не записана: " + path_ + ": database is locked");
    history.RecordRefresh({User("ivanov", 1)});
    EXPECT_EQ(warnings_.size(), 1u);
    EXPECT_EQ(other_run.Connection().QueryNumber("SELECT count(*) FROM refresh"), 1);
}

TEST_F(RunHistory, AHistoryThatCannotBeOpenedIsOneWarningForTheRun) {
    // A file stands where the history's folder should be.
    folder_.Write("not-a-folder", "x");
    const std::string path = JoinPath(folder_.File("not-a-folder"), "history.sqlite3");
    TrafficHistory& history = History(path);
    history.RecordRefresh({User("ivanov", 1)});
    now_ += 7200;
    history.RecordRefresh({User("ivanov", 2)});
    EXPECT_EQ(history.Database(), nullptr);
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_EQ(warnings_[0].rfind("История трафика не записана: " + path + ": ", 0), 0u) << warnings_[0];
}

TEST_F(RunHistory, OffRecordsNothingAndSaysNothing) {
    TrafficHistory& history = History("");
    EXPECT_FALSE(history.Enabled());
    history.RecordRefresh({User("ivanov", 1)});
    history.RecordClosing({User("ivanov", 1)});
    EXPECT_EQ(history.Database(), nullptr);
    EXPECT_EQ(warnings_, std::vector<std::string>{});
    EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

#ifndef _WIN32
// The write that would pass the limit fails as on a full disk; the record is lost, the file and the
// records before it are not.
TEST_F(RunHistory, AFullDiskLosesTheRecordBeingWrittenAndNothingElse) {
    TrafficHistory& history = History(path_);
    history.RecordRefresh({User("ivanov", 1), User("petrov", 1)});
    StatisticsFigures many;
    for (int i = 0; i < 3000; ++i) many.push_back(User("user" + std::to_string(i), i));
    now_ += 86400;
    std::uintmax_t largest = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
        largest = std::max(largest, entry.file_size());
    }
    {
        testing_support::FileSizeLimit full(largest + 8192);
        history.RecordRefresh(many);
    }
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_EQ(warnings_[0].rfind("История трафика не записана: " + path_ + ": ", 0), 0u) << warnings_[0];
    history_.reset();

    HistoryDatabase after(path_);
    SqliteStatement check(after.Connection(), "PRAGMA integrity_check");
    ASSERT_TRUE(check.Step());
    EXPECT_EQ(check.Text(0), "ok");
    EXPECT_EQ(after.Connection().QueryNumber("SELECT count(*) FROM refresh"), 1);
    EXPECT_EQ(after.Connection().QueryNumber("SELECT count(*) FROM day"), 2);
}
#endif

}  // namespace
}  // namespace tarnwell
