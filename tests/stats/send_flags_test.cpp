#include "stats/send_flags.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "fake_user_database.h"
#include "support/temp_folder.h"
#include "text/int_text.h"

namespace tarnwell {
namespace {

TEST(SendFlagsFile, GoIntoTheRegistryExportFilesExistingUserKeys) {
    testing_support::TempFolder folder;
    std::string reg = (folder.path() / "registry.reg").string();
    std::filesystem::copy_file(TARNWELL_TEST_DATA "/settings_users.reg", reg);
    TTableGrid grid(11, 5);
    // Row 1 shows Administrator, listed first, as "system" and keeps no key for it.
    const char* accounts[] = {"", "Guests", "alice", "bob", "carol", "Сумма"};
    grid.SetRowCount(1 + static_cast<int>(std::size(accounts)));
    for (int row = 1; row <= static_cast<int>(std::size(accounts)); ++row) {
        grid.SetCellEx(1, row, row == 1 ? "system" : accounts[row - 1]);
        if (row < grid.RowCount() - 1) {
            grid.AddCheckBox(0, row, row == 5);
            KeepSendFlagAccount(grid, row, accounts[row - 1]);
        }
    }
    SaveSendFlags(grid, *UserDatabaseLocation::RegFile(reg).Open());

    auto store = UserDatabaseLocation::RegFile(reg).Open();
    EXPECT_EQ(store->ListAccounts(), (std::vector<std::string>{"Administrator", "Guests", "alice", "bob"}));
    auto send_mail = [&](const char* login) -> std::string {
        EXPECT_TRUE(store->OpenExistingAccount(login)) << login;
        return store->HasValue("SendMail") ? IntToStr(store->ReadNumber("SendMail")) : "none";
    };
    EXPECT_EQ(send_mail("Administrator"), "1");
    EXPECT_EQ(send_mail("Guests"), "none");
    EXPECT_EQ(send_mail("alice"), "0");
    EXPECT_EQ(send_mail("bob"), "0");
}

class SendFlags : public ::testing::Test {
protected:
    void SetUp() override {
        db.accounts = {
            {"first", {{"Type", std::string("User")}}},  // listed first: shown as "system"
            {"system", {{"Type", std::string("User")}}}, {"alice", {{"Type", std::string("User")}, {"SendMail", 1}}},
            {"bob", {{"Type", std::string("Gateway")}}}, {"dave", {{"Type", std::string("User")}}},
            {"erin", {{"Type", std::string("User")}}},   {"frank", {{"Type", std::string("User")}}},
        };
        struct Row {
            const char* login;    // as shown
            const char* account;  // kept beside the row by the loader
            int check;            // -1: no check box
        };
        const Row rows[] = {
            {"system", "system", 1},  // a real account named "system" in row 1
            {"mallory", "alice", 0},  // the login edited on screen: the key counts
            {"bob", "bob", 1},        // no user
            {"carol", "carol", 0},    // no key in the store
            {"", "", -1},             // a placeholder row
            {"dave", "dave", -1},     // no box
            {"system", "", 1},        // the first listed account's stand-in: no key kept
            {"erin", "erin", 1},
            {"frank", "frank", 1},  // in the totals row
        };
        grid.SetRowCount(1 + static_cast<int>(std::size(rows)));
        int row = 1;
        for (const Row& r : rows) {
            grid.SetCellEx(1, row, r.login);
            if (r.check >= 0) grid.AddCheckBox(0, row, r.check == 1);
            KeepSendFlagAccount(grid, row, r.account);
            ++row;
        }
    }

    TTableGrid grid{11, 5};
    FakeUserDatabase db;
};

TEST_F(SendFlags, WrittenOnlyIntoExistingUserKeys) {
    SaveSendFlags(grid, db);
    EXPECT_EQ(db.log, (std::vector<std::string>{"system.SendMail=1", "alice.SendMail=0", "erin.SendMail=1", "flush"}));
}

TEST_F(SendFlags, ARefusedWriteEndsTheBatchAndKeepsTheEarlierFlags) {
    db.refuse_writes_to = "erin";
    try {
        SaveSendFlags(grid, db);
        FAIL();
    } catch (const EUserDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'SendMail'");
    }
    EXPECT_EQ(db.log, (std::vector<std::string>{"system.SendMail=1", "alice.SendMail=0", "flush"}));
}

}  // namespace
}  // namespace tarnwell
