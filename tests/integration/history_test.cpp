// The traffic history of whole runs: what a scheduled job records, when, under which names, and that a
// history it cannot write costs one line on standard error and nothing else.

#include "history/history_database.h"
#include "history/history_figures.h"
#include "program_fixture.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tarnwell {
namespace {

using namespace program_testing;

class HistoryRunTest : public ProgramTest {
protected:
    fs::path HistoryPath() const { return Folder() / "history.sqlite3"; }
    std::int64_t Number(const char* sql) const {
        HistoryDatabase history(HistoryPath().string());
        return history.Connection().QueryNumber(sql).value_or(-1);
    }
    std::string Warning(const std::string& reason) const {
        return "Tarnwell: История трафика не записана: " + HistoryPath().string() + ": " + reason + "\n";
    }
};

TEST_F(HistoryRunTest, AReportRunRecordsEveryUserUnderHisKeyNameOnceAnHour) {
    WriteSettings(ReportSettings());
    ProcessResult r = Run({"/createhtml"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    ASSERT_TRUE(fs::exists(HistoryPath()));
    EXPECT_EQ(Number("SELECT count(*) FROM refresh"), 1);
    // The first account is shown as "system" but recorded as what it is; the group is no user.
    EXPECT_EQ(Number("SELECT count(*) FROM day"), 3);
    EXPECT_EQ(Number("SELECT last_client_send_traffic FROM day WHERE account = 'Administrator'"), 0x100000);
    EXPECT_EQ(Number("SELECT closing_balance FROM day WHERE account = 'Administrator'"), 10000);
    EXPECT_EQ(Number("SELECT count(*) FROM day WHERE account IN ('system', 'Everyone')"), 0);
    EXPECT_EQ(Number("SELECT count(*) FROM day WHERE account = 'petrov' AND monthly_limit IS NULL"), 1);

    // Within the hour: no second record.
    r = Run({"/createhtml"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Number("SELECT count(*) FROM refresh"), 1);
}

TEST_F(HistoryRunTest, SetLimitRecordsTheClosingFiguresBeforeTheReset) {
    WriteSettings(ReportSettings());
    ASSERT_EQ(Run({"/createhtml"}).exit_status, 0);
    ProcessResult r = Run({"/setlimit"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(Number("SELECT count(*) FROM refresh"), 2);
    EXPECT_EQ(Number("SELECT count(*) FROM refresh WHERE closing = 1"), 1);
    // ivanov had 250 units of his 1000 left; the reset gave him his limit of 50000 units.
    EXPECT_EQ(Number("SELECT closing_balance FROM closing WHERE account = 'ivanov'"), 25000);
    EXPECT_EQ(ProgramTest::Number(Folder() / "registry.reg", "ivanov", "ClosingBalanceLo"), 50000);
}

TEST_F(HistoryRunTest, TarnwellHistoryZeroRecordsNothing) {
    WriteSettings(ReportSettings());
    ProcessResult r = Run({"/createhtml"}, {{"TARNWELL_HISTORY", "0"}});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_FALSE(fs::exists(HistoryPath()));
    EXPECT_TRUE(fs::exists(Folder() / "export.htm"));
}

TEST_F(HistoryRunTest, AHistoryLockedByAnotherRunIsOneWarningAndTheJobGoesOn) {
    WriteSettings(ReportSettings());
    HistoryDatabase other_run(HistoryPath().string());
    SqliteTransaction lock(other_run.Connection());
    ProcessResult r = Run({"/createhtml"});
    EXPECT_EQ(r.err, Warning("database is locked"));
    EXPECT_EQ(r.exit_status, 0) << "the warning is no shown message";
    EXPECT_TRUE(fs::exists(Folder() / "export.htm"));
}

#ifndef _WIN32
TEST_F(HistoryRunTest, AReadOnlyHistoryIsOneWarningAndTheJobGoesOn) {
    WriteSettings(ReportSettings());
    { HistoryDatabase made(HistoryPath().string()); }
    fs::permissions(HistoryPath(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (geteuid() == 0) {
        // An administrator may write any file: the program runs as an ordinary user instead, who may write
        // the program's folder (for grid.tmp) but not the history.
        runner_ = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        fs::permissions(root_, fs::perms::all);
        fs::permissions(Folder(), fs::perms::all);
        fs::permissions(WorkFolder(), fs::perms::all);
    }
    ProcessResult r = Run({"/createhtml"});
    EXPECT_EQ(r.err.rfind(Warning("").substr(0, Warning("").size() - 1), 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_TRUE(fs::exists(Folder() / "export.htm"));
    EXPECT_EQ(Number("SELECT count(*) FROM refresh"), 0);
}
#endif

}  // namespace
}  // namespace tarnwell
