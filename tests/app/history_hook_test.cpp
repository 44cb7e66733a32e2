// The statistics refresh and the traffic history: the figures kept under the accounts' key names, and a
// history that cannot be written as a warning that stops nothing.

#include <gtest/gtest.h>

#include "app/tf_send.h"
#include "stats/statistics_table.h"
#include "tf_send_fixture.h"

namespace tarnwell {
namespace {

using namespace app_testing;

TEST_F(TFSendTest, AHistoryThatCannotBeOpenedIsOneWarningAndTheRefreshGoesOn) {
    WriteFile(SettingsPath(), Settings(false, false, false));
    // A folder where the history's file should be: no database can be made there.
    fs::create_directory(folder_ / "history.sqlite3");
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    const std::string path = (folder_ / "history.sqlite3").string();
    EXPECT_EQ(log_.events, Events{"warning: История трафика не записана: " + path + ": unable to open database file"});
    // Header, three users, totals; the first user shown as "system" is Administrator in the figures.
    EXPECT_EQ(form.Controls().ASGRead.RowCount(), 5);
    EXPECT_EQ(form.Controls().ASGRead.GetCellEx(stat_col::Login, 1), stat_text::kFirstAccountLogin);
    ASSERT_EQ(form.Figures().size(), 3u);
    EXPECT_EQ(form.Figures()[0].account, "Administrator");
    EXPECT_EQ(form.Figures()[1].account, "ivanov");

    // Opened once per run: the next refresh says nothing more.
    EXPECT_TRUE(form.SBToStatClick());
    EXPECT_EQ(log_.events.size(), 1u);
}

}  // namespace
}  // namespace tarnwell
