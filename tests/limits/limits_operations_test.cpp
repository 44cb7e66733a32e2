#include "limits/limits_operations.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "limits/limits_table.h"
#include "support/temp_folder.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

using Row = std::vector<std::string>;

// Everything the save shows or runs, in order, in UTF-8: the restart's runner and pause are observed
// here, not carried out.
class EventLog : public UserNotifier, public StatusText, public Pause, public ProgramRunner {
public:
    void ShowMessage(std::string_view text) override { events.push_back("message " + Cp1251ToUtf8(text)); }
    void SetStatusText(std::string_view text) override { events.push_back("status " + Cp1251ToUtf8(text)); }
    void Sleep(std::chrono::milliseconds duration) override {
        events.push_back("sleep " + std::to_string(duration.count()));
    }
    bool CanRun(const std::string&) override { return service_program_runs; }
    void Run(const std::string& program, const std::string& argument) override {
        events.push_back("run " + program + " " + argument);
    }
    ServiceRestartHost Host() { return {*this, *this, *this, *this}; }

    std::vector<std::string> events;
    bool service_program_runs = true;
};

const std::vector<std::string> kRestart = {
    "status Идет сохранение изменений и перезапуск службы WinGate...",
    "run C:\\Program Files\\WinGate\\WinGate.exe -stop",
    "sleep 5000",
    "run C:\\Program Files\\WinGate\\WinGate.exe -start",
    "status ",
};

// A copy of a tests/data file that the test may change, removed at the end.
class WorkingCopy {
public:
    explicit WorkingCopy(const std::string& fixture) {
        std::filesystem::copy_file(std::string(TARNWELL_TEST_DATA) + "/" + fixture, path_);
    }
    std::unique_ptr<TUserDatabase> Open() const { return UserDatabaseLocation::RegFile(path_.string()).Open(); }
    std::string Bytes() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    testing_support::TempFolder folder_;
    std::filesystem::path path_ = folder_ / "registry.reg";
};

// The limits grid as the main window creates it: 6 x 5, a fixed header row and login column.
std::unique_ptr<TTableGrid> MakeLimitsGrid() {
    auto grid = std::make_unique<TTableGrid>(limit_col::Count, 5);
    grid->SetFixedRows(1);
    grid->SetFixedCols(1);
    return grid;
}

Row RowTexts(const TTableGrid& grid, int row) {
    Row texts;
    for (int col = 0; col < limit_col::Count - 1; ++col) texts.push_back(Cp1251ToUtf8(grid.GetCellEx(col, row)));
    bool enabled = false;
    texts.push_back(grid.GetCheckBoxState(limit_col::Enabled, row, enabled) ? (enabled ? "[x]" : "[ ]") : "none");
    return texts;
}

// An account's stored values as the limits table shows them, read back from the file.
Row Stored(const WorkingCopy& file, const std::string& login) {
    auto db = file.Open();
    db->OpenAccount(login);
    auto number = [&](const char* name) { return db->HasValue(name) ? std::to_string(db->ReadNumber(name)) : "-"; };
    return {login,
            Cp1251ToUtf8(db->ReadText("RealName")),
            number("Limit"),
            number("OpeningBalanceLo"),
            number("ClosingBalanceLo"),
            number("AccountEnabled")};
}

void SetText(TTableGrid& grid, int col, int row, const char* utf8) {
    grid.SetCellEx(col, row, Utf8ToCp1251(utf8));
}

// Administrator (user, listed first), Everyone (a group), alice (no Limit, AccountEnabled 0), bob (no
// AccountEnabled), and the service key.
TEST(ReadLimits, ShowsOwnKeyNamesTheDefaultLimitAndEnabledBoxes) {
    auto grid = MakeLimitsGrid();
    WorkingCopy file("limits_users.reg");
    EventLog log;
    EXPECT_TRUE(ReadLimits(*grid, *file.Open(), log, "200000"));

    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(grid->RowCount(), 4);
    EXPECT_EQ(RowTexts(*grid, 0),
              (Row{"Логин", "Имя", "Лимит", "Открыт баланс", "До закрытия балланса осталось", "none"}));
    EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(limit_col::Enabled, 0)), "Включен");
    EXPECT_EQ(RowTexts(*grid, 1), (Row{"Administrator", "Администратор", "200000", "100000", "50000", "[x]"}));
    EXPECT_EQ(RowTexts(*grid, 2), (Row{"alice", "Алиса", "200000", "0", "0", "[ ]"}));
    EXPECT_EQ(RowTexts(*grid, 3), (Row{"bob", "Боб", "10000", "10000", "9000", "[x]"}));
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->FixedCols(), 1);
}

TEST(ReadLimits, DatabaseNotReachableKeepsThePreviousRows) {
    auto grid = MakeLimitsGrid();
    WorkingCopy file("limits_users.reg");
    EventLog log;
    ReadLimits(*grid, *file.Open(), log, "200000");
    grid->SetCellEx(limit_col::Limit, 0, "x");

    auto missing = UserDatabaseLocation::RegFile(std::string(TARNWELL_TEST_DATA) + "/limits_no_such_file.reg").Open();
    EXPECT_FALSE(ReadLimits(*grid, *missing, log, "200000"));

    EXPECT_EQ(log.events,
              std::vector<std::string>{"message Возможно WinGate не установлен или версия программыне совместима!"});
    EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(limit_col::Limit, 0)), "Лимит");
    EXPECT_EQ(grid->RowCount(), 4);
}

// Administrator, alice, then bob without ClosingBalanceLo.
TEST(ReadLimits, ReadErrorKeepsTheUsersBeforeIt) {
    auto grid = MakeLimitsGrid();
    WorkingCopy file("limits_missing_balance.reg");
    EventLog log;
    try {
        ReadLimits(*grid, *file.Open(), log, "200000");
        FAIL() << "no error";
    } catch (const EUserDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Failed to get data for 'ClosingBalanceLo'");
    }
    EXPECT_EQ(grid->RowCount(), 3);
    EXPECT_EQ(RowTexts(*grid, 2), (Row{"alice", "Алиса", "200000", "0", "0", "[ ]"}));
}

// The monthly reset: read, copy the limits into the balances, save and restart.
TEST(SaveLimits, MonthlyResetWritesEveryRowAndRestartsTheService) {
    auto grid = MakeLimitsGrid();
    WorkingCopy file("limits_users.reg");
    EventLog log;
    ReadLimits(*grid, *file.Open(), log, "200000");
    SetBalancesFromLimits(*grid);
    EXPECT_EQ(RowTexts(*grid, 2), (Row{"alice", "Алиса", "200000", "200000", "200000", "[ ]"}));
    SetText(*grid, limit_col::RealName, 3, "Борис");

    EXPECT_TRUE(SaveLimits(*grid, file.Open(), log.Host()));

    EXPECT_EQ(log.events, kRestart);
    EXPECT_EQ(Stored(file, "Administrator"),
              (Row{"Administrator", "Администратор", "200000", "200000", "200000", "1"}));
    EXPECT_EQ(Stored(file, "alice"), (Row{"alice", "Алиса", "200000", "200000", "200000", "0"}));
    EXPECT_EQ(Stored(file, "bob"), (Row{"bob", "Борис", "10000", "10000", "10000", "1"}));
    EXPECT_EQ(Stored(file, "Everyone"), (Row{"Everyone", "Все пользователи", "-", "-", "-", "-"}));
    auto db = file.Open();
    db->OpenAccount("Administrator");
    EXPECT_EQ(db->ReadNumber("TimeOnLine"), 77);  // values the table does not show stay
}

// A store that notes each end of a batch, the moment the file is replaced, among the save's other events.
class BatchEndsNoted : public TUserDatabase {
public:
    BatchEndsNoted(std::unique_ptr<TUserDatabase> store, std::vector<std::string>& events)
        : store_(std::move(store)), events_(events) {}
    std::vector<std::string> ListAccounts() override { return store_->ListAccounts(); }
    bool OpenAccount(std::string_view login) override { return store_->OpenAccount(login); }
    bool OpenExistingAccount(std::string_view login) override { return store_->OpenExistingAccount(login); }
    void CloseAccount() override { store_->CloseAccount(); }
    bool HasValue(std::string_view name) override { return store_->HasValue(name); }
    std::string ReadText(std::string_view name) override { return store_->ReadText(name); }
    std::int32_t ReadNumber(std::string_view name) override { return store_->ReadNumber(name); }
    void WriteText(std::string_view name, std::string_view text) override { store_->WriteText(name, text); }
    void WriteNumber(std::string_view name, std::int32_t value) override { store_->WriteNumber(name, value); }
    std::string ReadServiceImagePath() override { return store_->ReadServiceImagePath(); }
    void Flush() override {
        events_.push_back("file replaced");
        store_->Flush();
    }

private:
    std::unique_ptr<TUserDatabase> store_;
    std::vector<std::string>& events_;
};

// Every row is written in one batch: the file is replaced once, before the service is restarted.
TEST(SaveLimits, AWholeSaveReplacesTheFileOnce) {
    auto grid = MakeLimitsGrid();
    WorkingCopy file("limits_users.reg");
    EventLog log;
    ReadLimits(*grid, *file.Open(), log, "200000");
    SetBalancesFromLimits(*grid);
    const std::string before = file.Bytes();

    EXPECT_TRUE(SaveLimits(*grid, std::make_unique<BatchEndsNoted>(file.Open(), log.events), log.Host()));

    std::vector<std::string> expected = {"file replaced"};
    expected.insert(expected.end(), kRestart.begin(), kRestart.end());
    EXPECT_EQ(log.events, expected);
    EXPECT_NE(file.Bytes(), before);
}

// One bad cell anywhere refuses the whole table before anything is written or restarted, and the error
// names the user and the column under the text the program has always shown.
TEST(SaveLimits, ABadCellRefusesTheWholeTableBeforeAnyWriteOrRestart) {
    struct Case {
        int col;
        int row;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {limit_col::OpeningBalance, 3, "abc", "'abc' is not a valid integer value\nПользователь bob, графа \"Открыт баланс\""},
        {limit_col::Limit, 1, "99999999999", "'99999999999' is not a valid integer value\nПользователь Administrator, графа \"Лимит\""},
        {limit_col::ClosingBalance, 2, "2147483648",
         "'2147483648' is not a valid integer value\nПользователь alice, графа \"До закрытия балланса осталось\""},
        {limit_col::Limit, 3, "", "'' is not a valid integer value\nПользователь bob, графа \"Лимит\""},
        {limit_col::Limit, 3, " 5", "' 5' is not a valid integer value\nПользователь bob, графа \"Лимит\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        auto grid = MakeLimitsGrid();
        WorkingCopy file("limits_users.reg");
        EventLog log;
        ReadLimits(*grid, *file.Open(), log, "200000");
        const std::string before = file.Bytes();
        SetText(*grid, limit_col::RealName, 1, "Алиса Петрова");  // a good edit above the bad cell
        SetText(*grid, c.col, c.row, c.text);

        try {
            SaveLimits(*grid, file.Open(), log.Host());
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& error) {
            EXPECT_EQ(Cp1251ToUtf8(error.what()), c.message);
        }
        EXPECT_EQ(log.events, std::vector<std::string>{});  // the service is not touched
        EXPECT_EQ(file.Bytes(), before);
    }
}

// The range is the store's: signed 32 bits, negative balances included; only number columns are checked.
TEST(LimitsCellValid, NumberColumnsTakeSigned32BitDecimalsOnly) {
    struct Case {
        int col;
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {limit_col::Limit,          "200000",      true},
        {limit_col::OpeningBalance, "-2147483648", true},
        {limit_col::ClosingBalance, "2147483647",  true},
        {limit_col::ClosingBalance, "-5",          true},
        {limit_col::ClosingBalance, "2147483648",  false},
        {limit_col::OpeningBalance, "-2147483649", false},
        {limit_col::Limit,          "abc",         false},
        {limit_col::Limit,          "",            false},
        {limit_col::Limit,          "1 000",       false},
        {limit_col::Limit,          "0x10",        false},
        {limit_col::RealName,       "",            true},
        {limit_col::RealName,       "abc",         true},
    };
    for (const Case& c : cases) EXPECT_EQ(LimitsCellValid(c.col, c.text), c.valid) << c.col << " '" << c.text << "'";
}

// A restart that cannot happen says why, after the values are written, and runs nothing.
TEST(SaveLimits, WithoutARunnableServiceTheValuesStayWrittenAndTheMessageIsShown) {
    struct Case {
        const char* fixture;
        bool program_runs;
        const char* message;
    };
    const Case cases[] = {
        {"limits_users_no_service.reg", true, "message Не найдено имя службы для перезапуска"},
        {"limits_users.reg", false,
         "message Программа службы WinGate \"C:\\Program Files\\WinGate\\WinGate.exe\" не найдена или не может "
         "быть запущена"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        auto grid = MakeLimitsGrid();
        WorkingCopy file(c.fixture);
        EventLog log;
        log.service_program_runs = c.program_runs;
        ReadLimits(*grid, *file.Open(), log, "200000");
        SetText(*grid, limit_col::Limit, 2, "300");

        EXPECT_FALSE(SaveLimits(*grid, file.Open(), log.Host()));
        EXPECT_EQ(log.events, std::vector<std::string>{c.message});
        EXPECT_EQ(Stored(file, "alice")[limit_col::Limit], "300");
        if (c.program_runs) {
            EXPECT_EQ(file.Bytes().find("WinGateEngine"), std::string::npos);  // no key created
        }
    }
}

TEST(SaveLimits, EmptyDatabaseWritesNothingButStillRestarts) {
    auto grid = MakeLimitsGrid();
    WorkingCopy file("limits_no_accounts.reg");
    const std::string before = file.Bytes();
    EventLog log;
    EXPECT_TRUE(ReadLimits(*grid, *file.Open(), log, "200000"));
    EXPECT_EQ(grid->RowCount(), 1);
    EXPECT_EQ(Cp1251ToUtf8(grid->GetCellEx(limit_col::Login, 0)), "Логин");

    EXPECT_TRUE(SaveLimits(*grid, file.Open(), log.Host()));
    EXPECT_EQ(log.events, kRestart);
    EXPECT_EQ(file.Bytes(), before);

    WorkingCopy users("limits_users.reg");
    ReadLimits(*grid, *users.Open(), log, "200000");
    EXPECT_EQ(grid->FixedRows(), 1);  // the header is fixed again
}

TEST(SaveEnabled, WritesOnlyTheEnabledFlagsWithoutRestart) {
    auto grid = MakeLimitsGrid();
    WorkingCopy file("limits_users.reg");
    EventLog log;
    ReadLimits(*grid, *file.Open(), log, "200000");
    grid->SetCheckBoxState(limit_col::Enabled, 3, false);
    SetText(*grid, limit_col::RealName, 3, "Борис");
    SetText(*grid, limit_col::Limit, 2, "abc");  // not written, so not parsed

    SaveEnabled(*grid, *file.Open());

    EXPECT_EQ(Stored(file, "Administrator"), (Row{"Administrator", "Администратор", "200000", "100000", "50000", "1"}));
    EXPECT_EQ(Stored(file, "alice"), (Row{"alice", "Алиса", "-", "0", "0", "0"}));
    EXPECT_EQ(Stored(file, "bob"), (Row{"bob", "Боб", "10000", "10000", "9000", "0"}));
}

}  // namespace
}  // namespace tarnwell
