#include "app/tf_send.h"

#include <gtest/gtest.h>

#include "text/cp1251_literal.h"
#include "tf_send_fixture.h"

namespace tarnwell {
namespace {

using namespace literals;
using namespace app_testing;

TEST_F(TFSendTest, SwitchesRunTheirJobThenQueueTheQuit) {
    struct Case {
        std::string argument;
        Events events;
        int page;
    };
    std::vector<Case> cases = {
        {"/createhtml", {ReportJob(), "quit"}, kStatPage},
        {"/sendhtml", {"SendHTM", "quit"}, kStatPage},
        {"/sendmail", {"SendMail", "quit"}, kStatPage},
        {"/SendMail", {"message: Неправильно задан ключ", "quit"}, kStatPage},
        {"sendmail", {"message: Неправильно задан ключ", "quit"}, kStatPage},
        {"/sendmail2", {"message: Неправильно задан ключ", "quit"}, kStatPage},
    };
    for (const Case& c : cases) {
        log_.events.clear();
        WriteFile(SettingsPath(), Settings(false, false, false));
        TFSend& form = Form();
        form.FormCreate(c.argument);
        EXPECT_EQ(log_.events, c.events) << c.argument;
        EXPECT_EQ(form.Controls().PC1.ActivePageIndex(), c.page) << c.argument;
        EXPECT_EQ(form.Controls().ASGRead.GetCellEx(1, 2), "ivanov") << c.argument;
    }
}

TEST_F(TFSendTest, SetLimitResetsTheBalancesAndRestartsTheService) {
    WriteFile(SettingsPath(), Settings(false, false, false) + "DefaultLim=300\r\n");
    TFSend& form = Form();
    form.FormCreate(std::string("/setlimit"));

    Events expected = {"status: Идет сохранение изменений и перезапуск службы WinGate...",
                       "run -stop",
                       "sleep 5000",
                       "run -start",
                       "status: ",
                       "quit"};
    EXPECT_EQ(log_.events, expected);
    EXPECT_EQ(form.Controls().PC1.ActivePageIndex(), kLimitsPage);
    EXPECT_EQ(form.Controls().StatBar.Text, "");
    for (std::string login : {"Administrator", "ivanov"}) {
        EXPECT_EQ(Number(login, "OpeningBalanceLo"), Number(login, "Limit")) << login;
        EXPECT_EQ(Number(login, "ClosingBalanceLo"), Number(login, "Limit")) << login;
    }
    // A user without a limit gets the default one, in every balance.
    EXPECT_EQ(Number("petrov", "Limit"), 300);
    EXPECT_EQ(Number("petrov", "OpeningBalanceLo"), 300);
    EXPECT_EQ(Number("petrov", "ClosingBalanceLo"), 300);
}

TEST_F(TFSendTest, AutorunRunsAfterTheSwitchInItsOrderAndStartsTheCloseTimer) {
    WriteFile(SettingsPath(), Settings(true, true, true, /*auto_close=*/true));
    TFSend& form = Form();
    form.FormCreate(std::string("/sendhtml"));
    Events expected = {"SendHTM", "quit", ReportJob(), "SendMail", "SendHTM", "timer 1000"};
    EXPECT_EQ(log_.events, expected);
    EXPECT_TRUE(form.Controls().TMClose.Enabled);

    // Without a switch: autorun alone, and no quit.
    log_.events.clear();
    WriteFile(SettingsPath(), Settings(false, false, true, /*auto_close=*/false));
    Form().FormCreate(std::nullopt);
    EXPECT_EQ(log_.events, Events{"SendHTM"});
}

TEST_F(TFSendTest, AutoCloseWithoutAutorunNeverStartsTheTimer) {
    WriteFile(SettingsPath(), Settings(false, false, false, /*auto_close=*/true));
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    EXPECT_EQ(log_.events, Events{});
    EXPECT_FALSE(form.Controls().TMClose.Enabled);
}

TEST_F(TFSendTest, AFailingAutorunJobEndsTheSequence) {
    WriteFile(SettingsPath(), Settings(true, true, true, /*auto_close=*/true));
    Form("SendMail").FormCreate(std::string("/createhtml"));
    Events expected = {ReportJob(), "quit", ReportJob(), "error: SendMail failed"};
    EXPECT_EQ(log_.events, expected);

    // An error in the switch's job comes before the quit request: none is made, autorun does not run.
    log_.events.clear();
    Form("MkTable").FormCreate(std::string("/createhtml"));
    EXPECT_EQ(log_.events, Events{"error: MkTable failed"});
}

TEST_F(TFSendTest, StopsAtTheStatisticsLoadWithoutQuitOrAutorun) {
    WriteFile(SettingsPath(), Settings(true, true, true, true));
    // ivanov's time on line is missing: the load stops with the store's error.
    std::string reg = ReadFile(RegPath());
    reg.erase(reg.find("\"TimeOnLine\"=dword:0000003c\r\n"), 29);
    WriteFile(RegPath(), reg);
    TFSend& form = Form();
    form.FormCreate(std::string("/setlimit"));
    EXPECT_EQ(log_.events, Events{"error: Failed to get data for 'TimeOnLine'"});
    EXPECT_EQ(form.Controls().PC1.ActivePageIndex(), kStatPage);

    // No database at all: the loader's message, then a silent stop.
    log_.events.clear();
    fs::remove(RegPath());
    Form().FormCreate(std::string("/setlimit"));
    EXPECT_EQ(log_.events, Events{"message: Возможно WinGate не установлен или версия программыне совместима!"});
}

TEST_F(TFSendTest, SetLimitWithoutServiceKeyStopsAfterItsMessage) {
    WriteFile(SettingsPath(), Settings(true, false, false));
    std::string reg = ReadFile(RegPath());
    reg.erase(reg.find("[HKEY_LOCAL_MACHINE\\SYSTEM"));
    WriteFile(RegPath(), reg);
    Form().FormCreate(std::string("/setlimit"));
    // The table is written all the same; no quit and no autorun follow.
    EXPECT_EQ(log_.events, Events{"message: Не найдено имя службы для перезапуска"});
    EXPECT_EQ(Number("ivanov", "OpeningBalanceLo"), Number("ivanov", "Limit"));
}

TEST_F(TFSendTest, SetLimitWithAServiceProgramThatCannotRunStopsAfterNamingIt) {
    WriteFile(SettingsPath(), Settings(true, false, false));
    Form({}, /*service_program_runs=*/false).FormCreate(std::string("/setlimit"));
    EXPECT_EQ(log_.events,
              Events{"message: Программа службы WinGate \"@SERVICE@\" не найдена или не может быть запущена"});
    EXPECT_EQ(Number("ivanov", "OpeningBalanceLo"), Number("ivanov", "Limit"));
}

TEST_F(TFSendTest, MissingSettingsFileStopsOnTheViewerPageWithEverythingTicked) {
    std::string reg_before = ReadFile(RegPath());
    TFSend& form = Form();
    form.FormCreate(std::string("/setlimit"));
    EXPECT_EQ(log_.events, Events{"message: Не найден или не существует файл настроек!"});
    FormControls& c = form.Controls();
    EXPECT_EQ(c.PC1.ActivePageIndex(), kViewerPage);
    EXPECT_TRUE(c.ChLBOther.Checked(0) && c.ChLBOther.Checked(1));
    EXPECT_EQ(ReadFile(RegPath()), reg_before);

    // Auto-save is now on: the first page change writes a complete file, sections in their order.
    c.SpeedButton4.Click();
    EXPECT_EQ(c.PC1.ActivePageIndex(), kSettingsPage);
    std::string ini = ReadFile(SettingsPath());
    std::size_t at = 0;
    for (std::string section : {"[mail]", "[set]", "[AutoRun]", "[TableStat]", "[TableHTML]", "[opt]", "[MCont]"}) {
        std::size_t found = ini.find(section + "\r\n");
        ASSERT_NE(found, std::string::npos) << section;
        EXPECT_GE(found, at) << section;
        at = found;
    }
    EXPECT_NE(ini.find("Razmernost=0\r\nTochnost=2\r\nDefaultLim=200000\r\n"), std::string::npos) << ini;
}

TEST_F(TFSendTest, NavigationSavesFirstAndAFailedSaveKeepsThePage) {
    WriteFile(SettingsPath(), Settings(false, false, false, false, /*auto_save=*/true));
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    FormControls& c = form.Controls();
    ASSERT_EQ(c.PC1.ActivePageIndex(), kStatPage);

    // The save writes the settings file, then the statistics table's send boxes (ivanov's in row 2).
    ASSERT_EQ(Number("ivanov", "SendMail"), 0);
    c.ASGRead.SetCheckBoxState(0, 2, true);
    c.SBLimit.Click();
    EXPECT_EQ(c.PC1.ActivePageIndex(), kLimitsPage);
    EXPECT_EQ(c.ASGLimit.GetCellEx(0, 1), "Administrator");
    EXPECT_NE(ReadFile(SettingsPath()).find("[MCont]"), std::string::npos);
    EXPECT_EQ(Number("ivanov", "SendMail"), 1);

    // A settings file that cannot be written stops the save before the send boxes.
    BlockSettingsFile();
    c.ASGRead.SetCheckBoxState(0, 2, false);
    c.SBAbout.Click();
    EXPECT_EQ(c.PC1.ActivePageIndex(), kLimitsPage);
    EXPECT_EQ(log_.events, Events{"error: Unable to write to " + SettingsPath().string()});
    EXPECT_EQ(Number("ivanov", "SendMail"), 1);

    // Without auto-save nothing is written and the page changes.
    log_.events.clear();
    c.ChLBOther.SetChecked(1, false);
    c.SBAbout.Click();
    EXPECT_EQ(c.PC1.ActivePageIndex(), kAboutPage);
    EXPECT_EQ(log_.events, Events{});
}

TEST_F(TFSendTest, CloseTimerSavesAndQuits) {
    WriteFile(SettingsPath(), Settings(true, false, false, true, true));
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    ASSERT_EQ(log_.events, (Events{ReportJob(), "timer 1000"}));

    fs::remove(SettingsPath());
    log_.events.clear();
    host_.Tick(14);
    EXPECT_EQ(log_.events, Events{});
    EXPECT_EQ(Cp1251ToUtf8(form.Controls().StatBar.Outcome),
              "HTML-отчёт сохранён: " + (folder_ / "report.htm").string() + "; закрытие через 1 с.");
    host_.Tick();
    EXPECT_EQ(log_.events, Events{"quit"});
    EXPECT_NE(ReadFile(SettingsPath()).find("AutoClose=1\r\nAutoSave=1\r\n"), std::string::npos);
}

// A save that fails at closing shows its error once and leaves the window open for the user, instead of
// a new error box at every tick; the user's own close then works as before.
TEST_F(TFSendTest, AFailedCloseByTheTimerIsShownOnceAndStopsIt) {
    WriteFile(SettingsPath(), Settings(true, false, false, true, true));
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    BlockSettingsFile();
    log_.events.clear();
    host_.Tick(16);
    EXPECT_EQ(log_.events, Events{"error: Unable to write to " + SettingsPath().string()});
    EXPECT_FALSE(form.Controls().TMClose.Enabled);

    EXPECT_FALSE(form.UserClose());
    fs::remove(SettingsPath());
    EXPECT_TRUE(form.UserClose());
    EXPECT_TRUE(fs::is_regular_file(SettingsPath()));
}

// While a handler runs, a job that pumps events lets the user's clicks through: the job and navigation
// controls are disabled then, so none of them can start a second job or change the page, and the host
// hears after each handler has run.
TEST_F(TFSendTest, AHandlerRunsBusyWithTheJobControlsLocked) {
    WriteFile(SettingsPath(), Settings(false, false, true));
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    FormControls& c = form.Controls();
    ASSERT_FALSE(form.Busy());
    ASSERT_TRUE(c.ESGToUser.Enabled);
    log_.events.clear();

    int changes_seen_inside = -1;
    host_.controls_changed = 0;
    during_job_ = [&] {
        changes_seen_inside = host_.controls_changed;
        EXPECT_TRUE(form.Busy());
        for (Control* control : c.JobControls()) EXPECT_FALSE(control->Enabled);
        EXPECT_FALSE(form.Browser().Enabled);
        c.SBLimit.Click();  // ignored: the page stays
        c.SBSend1.Click();  // ignored: no second job
        // Other controls still work, and their handlers run nested.
        c.ChLBRun.UserToggle(2);
    };
    c.SBSaveHTML.Click();
    during_job_ = nullptr;

    EXPECT_EQ(log_.events, Events{ReportJob()});
    EXPECT_EQ(c.PC1.ActivePageIndex(), kStatPage);
    EXPECT_FALSE(c.ESGToUser.Enabled);
    EXPECT_FALSE(form.Busy());
    for (Control* control : c.JobControls()) EXPECT_TRUE(control->Enabled);
    EXPECT_TRUE(form.Browser().Enabled);
    EXPECT_EQ(changes_seen_inside, 0);     // a handler that lets no event through shows no lock
    EXPECT_EQ(host_.controls_changed, 2);  // after the nested handler, after the outer one

    // A handler that fails unlocks all the same.
    log_.events.clear();
    Form("MkTable").Controls().SBSaveHTML.Click();
    EXPECT_EQ(log_.events, Events{"error: MkTable failed"});
    EXPECT_FALSE(form_->Busy());
    EXPECT_TRUE(form_->Controls().SBSaveHTML.Enabled);
}

// The close timer's tick and the user's close that come while a job pumps events wait for the job: the
// window does not close under it.
TEST_F(TFSendTest, ACloseDuringAJobWaitsForTheJob) {
    WriteFile(SettingsPath(), Settings(true, false, false, /*auto_close=*/true));
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    ASSERT_EQ(log_.events, (Events{ReportJob(), "timer 1000"}));

    for (bool by_timer : {true, false}) {
        log_.events.clear();
        during_job_ = [&] {
            if (by_timer) {
                host_.Tick(15);
            } else {
                EXPECT_FALSE(form.UserClose());
            }
            log_.Add("job goes on");
        };
        form.Controls().SBSend1.Click();
        during_job_ = nullptr;
        EXPECT_EQ(log_.events, (Events{"ask: Разослать письма отмеченным пользователям? Писем: 1", "job goes on",
                                       "SendMail", "quit"}))
            << by_timer;
    }
}

TEST_F(TFSendTest, ReportTakesItsColoursFromTheHost) {
    struct Scheme final : ColorScheme {
        std::uint32_t Resolve(SystemColor name) const override {
            return name == SystemColor::BtnFace ? 0x123456 : 0xFEDCBA;
        }
    } scheme;
    host_.colors = &scheme;
    WriteFile(SettingsPath(), Settings(false, false, false));
    TFSend& form = FormWithItsOwnJobs();
    form.FormCreate(std::nullopt);
    form.Controls().EHTMLPath.Text = (folder_ / "colours.htm").string();
    form.Controls().SBSaveHTML.Click();
    ASSERT_EQ(log_.events, Events{});
    std::string page = ReadFile(folder_ / "colours.htm");
    EXPECT_NE(page.find("bgcolor=\"#123456\"><b>"), std::string::npos) << page.substr(0, 400);
    EXPECT_EQ(page.find("#F0F0F0"), std::string::npos);
}

TEST_F(TFSendTest, TableAddressFollowsTheThirdAutorunItem) {
    WriteFile(SettingsPath(), Settings(false, false, true));
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    FormControls& c = form.Controls();
    EXPECT_TRUE(c.ESGToUser.Enabled);
    c.ChLBRun.UserToggle(2);
    EXPECT_FALSE(c.ESGToUser.Enabled);
    c.ChLBRun.UserToggle(2);
    EXPECT_TRUE(c.ESGToUser.Enabled);
    c.ChLBRun.UserToggle(0);
    EXPECT_TRUE(c.ESGToUser.Enabled);
}

TEST_F(TFSendTest, LastViewedFileComesBackIntoTheViewer) {
    fs::create_directory(folder_ / "logs");
    WriteFile(folder_ / "logs" / "day.log", "time\tuser\r\n10:00\tivanov\r\n");
    std::string last = (folder_ / "logs" / "day.log").string();
    std::string settings = Settings(false, false, false);
    settings.replace(settings.find("LastPath=") + 9, 0, last);
    WriteFile(SettingsPath(), settings);
    TFSend& form = Form();
    form.FormCreate(std::nullopt);
    FormControls& c = form.Controls();
    EXPECT_EQ(log_.events, Events{});
    EXPECT_EQ(c.ECurrentFile.Text, last);
    EXPECT_EQ(c.SG1.GetCellEx(1, 1), "ivanov");
    EXPECT_FALSE(c.CG1.Visible);
    EXPECT_EQ(fs::current_path(), folder_ / "logs");
    EXPECT_EQ(c.PC1.ActivePageIndex(), kStatPage);
}

TEST_F(TFSendTest, LinksOpenThroughTheHost) {
    TFSend& form = Form();
    form.Controls().StaticText7.Click();
    EXPECT_EQ(log_.events, Events{"open " + Cp1251ToUtf8(MakerMailLink())});
}

TEST_F(TFSendTest, SaveAsFollowsTheDialogsTypeAndKeepsIt) {
    TFSend& form = Form();
    FormControls& c = form.Controls();
    c.ECurrentFile.Text = (folder_ / "day.log").string();
    std::vector<std::string> proposed;
    int choose_type = 0;
    bool confirm = true;
    host_.save_dialog = [&](SaveDialog& dialog) {
        proposed.push_back(dialog.FileName);
        if (choose_type != 0) dialog.OnTypeChange(choose_type);
        if (confirm) dialog.FilterIndex = choose_type != 0 ? choose_type : dialog.FilterIndex;
        return confirm;
    };
    const std::string day = (folder_ / "day.log").string();

    c.SBSave.Click();  // type 1, confirmed: the page
    choose_type = 2;
    c.SBSave.Click();  // switched to Excel and confirmed: the workbook
    choose_type = 0;
    confirm = false;
    c.SBSave.Click();  // cancelled: nothing written
    EXPECT_EQ(proposed, (Events{day + ".htm", day + ".htm", day + ".xls"}));
    EXPECT_EQ(log_.events, Events{"MkTable " + day + ".htm"});
    // The name is used as the dialog returns it: the workbook went under the proposed page name.
    EXPECT_TRUE(fs::exists(day + ".htm"));
    EXPECT_EQ(form.SD1.FilterIndex, 2);
    EXPECT_EQ(form.SD1.DefaultExt, "xls");
}

// The viewer's save, of either type, shows the gauge with the cancel button beside it while it runs (the
// job and navigation controls locked, the cancel button not); a click on the cancel button stops it, the
// old file stays as it was and nothing is said. A save that is let run writes its file.
TEST_F(TFSendTest, ViewerSaveShowsItsProgressAndTheCancelButtonStopsIt) {
    TFSend& form = FormWithItsOwnJobs();
    FormControls& c = form.Controls();
    c.SG1.SetColCount(3);
    c.SG1.SetRowCount(20'000);
    for (int row = 0; row < c.SG1.RowCount(); ++row) {
        for (int col = 0; col < 3; ++col) c.SG1.SetCellEx(col, row, "cell " + std::to_string(row * 3 + col));
    }
    for (int type : {1, 2}) {
        SCOPED_TRACE(type);
        const fs::path target = folder_ / (type == 1 ? "saved.htm" : "saved.xls");
        host_.save_dialog = [&](SaveDialog& dialog) {
            dialog.OnTypeChange(type);
            dialog.FilterIndex = type;
            dialog.FileName = target.string();
            return true;
        };
        for (bool stop : {true, false}) {
            SCOPED_TRACE(stop);
            WriteFile(target, "old");
            int seen = 0;
            host_.on_process_messages = [&] {
                if (c.CG1.Visible && c.SBCancel.Visible && c.SBCancel.Enabled && !c.SBSave.Enabled) ++seen;
                if (stop) c.SBCancel.Click();
            };
            c.SBSave.Click();
            host_.on_process_messages = nullptr;
            EXPECT_GE(seen, 1);
            EXPECT_EQ(ReadFile(target) == "old", stop);
            EXPECT_FALSE(c.CG1.Visible);
            EXPECT_FALSE(c.SBCancel.Visible);
            EXPECT_TRUE(c.SBSave.Enabled);
            EXPECT_FALSE(fs::exists(target.string() + ".tarnwell.tmp"));
            // The page's bare fragment stays only after a page that was written.
            EXPECT_EQ(fs::exists(folder_ / "grid.tmp"), type == 1 && !stop);
            fs::remove(folder_ / "grid.tmp");
            // The old file is there: the save asked before going over it, and nothing else was said.
            EXPECT_EQ(log_.events, Events{"ask: Файл " + target.string() + " уже существует. Заменить его?"});
            log_.events.clear();
        }
    }
}

TEST_F(TFSendTest, ReportPathIsTakenFromTheDialogOnlyWhenConfirmed) {
    TFSend& form = Form();
    FormControls& c = form.Controls();
    std::string shown;
    bool confirm = false;
    host_.save_dialog = [&](SaveDialog& dialog) {
        shown = dialog.FileName;
        dialog.FileName = "/srv/www/stat.htm";
        return confirm;
    };
    c.SBEditPathHTML.Click();
    EXPECT_EQ(shown, "index.htm");
    EXPECT_EQ(c.EHTMLPath.Text, "export.htm");
    confirm = true;
    c.SBEditPathHTML.Click();
    EXPECT_EQ(c.EHTMLPath.Text, "/srv/www/stat.htm");
    EXPECT_EQ(form.SDHTML.FileName, "/srv/www/stat.htm");
}

}  // namespace
}  // namespace tarnwell
