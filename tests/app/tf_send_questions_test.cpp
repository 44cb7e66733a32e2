// What the window asks before it drops the user's edits or does what cannot be undone, what it refuses
// before it writes, and what it tells in the status bar's outcome area.

#include <gtest/gtest.h>

#include "files/current_folder.h"
#include "limits/limits_table.h"
#include "text/cp1251.h"
#include "tf_send_fixture.h"

namespace tarnwell {
namespace {

using namespace app_testing;

const std::string kDropQuestion =
    "ask: Изменения в таблице лимитов не сохранены. Сохранить их и перезапустить службу WinGate?";
const std::string kRestartQuestion = "ask: Сохранить изменения и перезапустить службу WinGate?";
const Events kRestart = {"run -stop", "sleep 5000", "run -start"};
constexpr int kIvanov = 2;  // ivanov's row in both tables

class QuestionsTest : public TFSendTest {
protected:
    // The window on the limits page, ivanov's limit edited to 12345 on screen.
    TFSend& OnEditedLimits() {
        WriteFile(SettingsPath(), Settings(false, false, false));
        TFSend& form = Form();
        form.FormCreate(std::nullopt);
        form.Controls().SBLimit.Click();
        form.Controls().ASGLimit.UserSetCellText(limit_col::Limit, kIvanov, "12345");
        log_.events.clear();
        return form;
    }
    // The events without the status lines of the restart.
    Events Seen() const {
        Events seen;
        for (const std::string& event : log_.events) {
            if (event.rfind("status: ", 0) != 0) seen.push_back(event);
        }
        return seen;
    }
};

// Closing the window, reading the limits again or leaving their page asks first; the answer decides
// whether the edit is saved (with the restart), dropped, or kept with the window where it was.
TEST_F(QuestionsTest, UnsavedLimitsEditsAreAskedAboutBeforeTheyAreDropped) {
    struct Action {
        const char* name;
        std::function<bool(TFSend&)> run;  // true when the window went on (closed, page changed)
    };
    const Action actions[] = {
        {"close", [](TFSend& form) { return form.UserClose(); }},
        {"Лимиты again",
         [](TFSend& form) {
             // Read again: the grid has moved on.
             const auto before = form.Controls().ASGLimit.Revision();
             form.Controls().SBLimit.Click();
             return form.Controls().ASGLimit.Revision() != before;
         }},
        {"О программе",
         [](TFSend& form) {
             form.Controls().SBAbout.Click();
             return form.Controls().PC1.ActivePageIndex() == kAboutPage;
         }},
    };
    for (const Action& action : actions) {
        for (Answer answer : {Answer::Cancel, Answer::Discard, Answer::Save}) {
            SCOPED_TRACE(std::string(action.name) + " " + std::to_string(static_cast<int>(answer)));
            TFSend& form = OnEditedLimits();
            host_.answers = {answer};
            const bool went_on = action.run(form);

            EXPECT_EQ(went_on, answer != Answer::Cancel);
            Events expected = {kDropQuestion};
            if (answer == Answer::Save) expected.insert(expected.end(), kRestart.begin(), kRestart.end());
            EXPECT_EQ(Seen(), expected);
            EXPECT_EQ(Number("ivanov", "Limit"), answer == Answer::Save ? 12345 : 50000);
            // Kept: still there and still asked about; saved or dropped: nothing more to ask.
            EXPECT_EQ(form.LimitsEdited(), answer == Answer::Cancel);
            fs::copy_file(fs::path(TARNWELL_TEST_DATA) / "app" / "users.reg", RegPath(),
                          fs::copy_options::overwrite_existing);
        }
    }
}

// Nothing edited, a read or a save since the edit: nothing to ask. The auto-close never asks.
TEST_F(QuestionsTest, NoQuestionWithoutUnsavedEditsNorAtTheAutoClose) {
    TFSend& form = OnEditedLimits();
    form.Controls().SBRead.Click();
    EXPECT_TRUE(form.UserClose());
    EXPECT_EQ(Seen(), Events{});

    WriteFile(SettingsPath(), Settings(true, false, false, /*auto_close=*/true));
    TFSend& closing = Form();
    closing.FormCreate(std::nullopt);
    closing.Controls().ASGLimit.UserSetCellText(limit_col::Limit, kIvanov, "12345");
    log_.events.clear();
    host_.Tick(15);
    EXPECT_EQ(log_.events, Events{"quit"});
}

// Every cell is checked before the save begins: one bad cell anywhere and nothing is written, the
// service is not touched, and the message names the user and the column. The cell is marked as typed.
TEST_F(QuestionsTest, ABadLimitsCellIsRefusedWithNothingWrittenAndTheServiceUntouched) {
    TFSend& form = OnEditedLimits();
    GridControl& grid = form.Controls().ASGLimit;
    ASSERT_TRUE(grid.UserSetCellText(limit_col::ClosingBalance, 3, "99999999999"));
    EXPECT_TRUE(grid.CellRefused(limit_col::ClosingBalance, 3));
    EXPECT_FALSE(grid.CellRefused(limit_col::Limit, kIvanov));
    EXPECT_TRUE(grid.TextRefused(limit_col::OpeningBalance, "abc"));
    EXPECT_FALSE(grid.TextRefused(limit_col::OpeningBalance, "-2147483648"));
    EXPECT_FALSE(grid.TextRefused(limit_col::RealName, "abc"));
    const std::string before = ReadFile(RegPath());

    form.Controls().SBSaveLim.Click();

    EXPECT_EQ(Seen(), (Events{kRestartQuestion,
                              "error: '99999999999' is not a valid integer value\n"
                              "Пользователь petrov, графа \"До закрытия балланса осталось\""}));
    EXPECT_EQ(ReadFile(RegPath()), before);
    EXPECT_TRUE(form.LimitsEdited());
}

// The restart, a mailing and going over a file ask first when the user clicks; No leaves all as it was.
TEST_F(QuestionsTest, WhatCannotBeUndoneAsksFirst) {
    TFSend& form = OnEditedLimits();
    FormControls& c = form.Controls();
    host_.answers = {Answer::No};
    c.NSaveLim.Click();
    EXPECT_EQ(Seen(), Events{kRestartQuestion});
    EXPECT_EQ(Number("ivanov", "Limit"), 50000);
    host_.answers = {Answer::Yes};
    c.SBSaveLim.Click();
    EXPECT_EQ(Number("ivanov", "Limit"), 12345);
    EXPECT_EQ(Cp1251ToUtf8(c.StatBar.Outcome), "Лимиты сохранены, служба WinGate перезапущена");

    for (int row = 1; row < c.ASGRead.RowCount() - 1; ++row) c.ASGRead.SetCheckBoxState(0, row, row != 1);
    log_.events.clear();
    host_.answers = {Answer::No, Answer::Yes};
    c.SBSend1.Click();
    c.SBSend1.Click();
    const std::string mail_question = "ask: Разослать письма отмеченным пользователям? Писем: 2";
    EXPECT_EQ(log_.events, (Events{mail_question, mail_question, "SendMail"}));

    // No one ticked: nothing to ask about.
    for (int row = 1; row < c.ASGRead.RowCount() - 1; ++row) c.ASGRead.SetCheckBoxState(0, row, false);
    log_.events.clear();
    c.SBSend1.Click();
    EXPECT_EQ(log_.events, Events{"SendMail"});

    const fs::path target = folder_ / "day.htm";
    WriteFile(target, "old");
    host_.save_dialog = [&](SaveDialog& dialog) {
        dialog.FileName = target.string();
        return true;
    };
    log_.events.clear();
    host_.answers = {Answer::No};
    c.SBSave.Click();
    EXPECT_EQ(log_.events, Events{"ask: Файл " + target.string() + " уже существует. Заменить его?"});
    EXPECT_EQ(ReadFile(target), "old");
}

// The saves say what they wrote and where, in full; a hint never wipes it.
TEST_F(QuestionsTest, SavesTellTheirOutcomeWithTheFullPath) {
    WriteFile(SettingsPath(), Settings(false, false, false));
    TFSend& form = FormWithItsOwnJobs();
    form.FormCreate(std::nullopt);
    FormControls& c = form.Controls();

    c.SBSaveHTML.Click();
    const std::string report = "HTML-отчёт сохранён: " + (folder_ / "report.htm").string();
    EXPECT_EQ(Cp1251ToUtf8(c.StatBar.Outcome), report);
    c.StatBar.ShowHintOf(&c.SBSend1);
    EXPECT_EQ(Cp1251ToUtf8(c.StatBar.Outcome), report);

    const fs::path table = folder_ / "table.xls";
    host_.save_dialog = [&](SaveDialog& dialog) {
        dialog.OnTypeChange(2);
        dialog.FileName = table.string();
        return true;
    };
    c.SBSave.Click();
    EXPECT_TRUE(fs::exists(table));
    EXPECT_EQ(Cp1251ToUtf8(c.StatBar.Outcome), "Таблица сохранена: " + table.string());
}

// A relative "Файл экспорта:" lands in the program's folder, whatever folder the viewer looked at last,
// for the button, the switch and autorun alike.
TEST_F(QuestionsTest, ARelativeReportLandsInTheProgramsFolder) {
    testing_support::TempFolder elsewhere;
    for (const char* how : {"button", "/createhtml", "autorun"}) {
        SCOPED_TRACE(how);
        WriteFile(SettingsPath(), Settings(std::string(how) == "autorun", false, false));
        TFSend& form = FormWithItsOwnJobs();
        ASSERT_TRUE(SetCurrentFolder(elsewhere.path().string()));
        form.FormCreate(std::string(how) == "/createhtml" ? std::optional<std::string>(how) : std::nullopt);
        if (std::string(how) == "button") form.Controls().SBSaveHTML.Click();
        EXPECT_TRUE(fs::exists(folder_ / "report.htm"));
        EXPECT_FALSE(fs::exists(elsewhere.path() / "report.htm"));
        fs::remove(folder_ / "report.htm");
    }
}

// The auto-close counts down in the outcome area; unticking its item stops it, nothing else does.
TEST_F(QuestionsTest, TheAutoCloseCountdownIsShownAndUntickingCancelsIt) {
    WriteFile(SettingsPath(), Settings(true, false, false, /*auto_close=*/true));
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    FormControls& c = form.Controls();
    const std::string report = "HTML-отчёт сохранён: " + (folder_ / "report.htm").string();
    EXPECT_EQ(Cp1251ToUtf8(c.StatBar.Outcome), report + "; закрытие через 15 с.");
    host_.Tick(3);
    EXPECT_EQ(Cp1251ToUtf8(c.StatBar.Outcome), report + "; закрытие через 12 с.");

    c.SBAbout.Click();
    c.ChLBOther.UserToggle(1);  // the other item
    host_.Tick();
    EXPECT_EQ(Cp1251ToUtf8(c.StatBar.Outcome), report + "; закрытие через 11 с.");

    log_.events.clear();
    c.ChLBOther.UserToggle(0);
    EXPECT_FALSE(c.TMClose.Enabled);
    EXPECT_EQ(Cp1251ToUtf8(c.StatBar.Outcome), report + "; автоматическое закрытие отменено");
    host_.Tick(20);
    EXPECT_EQ(log_.events, Events{});
}

}  // namespace
}  // namespace tarnwell
