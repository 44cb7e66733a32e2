// Every control event of the main window runs its own handler: each row fires one event the way the user
// does and names everything the user can then see or find changed. A handler bound to the wrong control,
// or an event left without one, changes that description.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "limits/limits_table.h"
#include "text/cp1251.h"
#include "tf_send_fixture.h"

namespace tarnwell {
namespace {

using namespace app_testing;

struct Binding {
    const char* event;
    std::function<void(FormControls&)> fire;
    std::string effect;
};

class HandlerBindings : public TFSendTest {
protected:
    // The window after start-up on the statistics page, auto-save on, the table address edit enabled; the
    // limits page read once and then edited (ivanov's limit 12345, his "Включен" box cleared), a mark in
    // the statistics table, and no settings file: so a reload, a save or a write each leaves its trace.
    TFSend& Prepare() {
        WriteFile(SettingsPath(), Settings(false, false, true, false, /*auto_save=*/true));
        TFSend& form = Form();
        form.FormCreate(std::nullopt);
        form.SBReadClick();
        FormControls& c = form.Controls();
        c.ASGLimit.SetCellEx(limit_col::Limit, kIvanov, "12345");
        c.ASGLimit.SetCheckBoxState(limit_col::Enabled, kIvanov, false);
        c.ASGRead.SetCellEx(1, kIvanov, "?");
        c.ECurrentFile.Text = "day.log";
        fs::remove(SettingsPath());
        log_.events.clear();
        host_.save_dialog = [this](SaveDialog& dialog) {
            log_.Add("dialog " + dialog.FileName);
            return false;
        };
        return form;
    }

    // What the user sees and what the handler left on disk, in the order of the words below.
    std::string Effect(TFSend& form) {
        FormControls& c = form.Controls();
        std::string effect = "page " + std::to_string(c.PC1.ActivePageIndex());
        auto add = [&effect](const std::string& part) { effect += "; " + part; };
        for (const std::string& event : log_.events) {
            if (event.rfind("status: ", 0) != 0) add(event);
        }
        if (fs::exists(SettingsPath())) add("settings saved");
        if (c.ASGRead.GetCellEx(1, kIvanov) == "ivanov") add("statistics reloaded");
        if (c.ASGLimit.GetCellEx(limit_col::Limit, kIvanov) == "50000") add("limits reread");
        if (c.ASGLimit.GetCellEx(limit_col::OpeningBalance, kIvanov) == "12345") add("balances from limits");
        if (Number("ivanov", "Limit") == 12345) add("limits written");
        if (Number("ivanov", "AccountEnabled") == 0) add("flags written");
        if (!c.ESGToUser.Enabled) add("address edit off");
        if (!c.StatBar.Outcome.empty()) add("outcome " + Cp1251ToUtf8(c.StatBar.Outcome));
        return effect;
    }

    static constexpr int kIvanov = 2;  // the row of ivanov in both tables
};

TEST_F(HandlerBindings, EachEventRunsItsOwnHandler) {
    const std::string site = "page 2; open " + Cp1251ToUtf8(FormControls().STtoSite.Caption);
    const std::string mail = "page 2; open " + Cp1251ToUtf8(MakerMailLink());
    const std::string save =
        "page 2; ask: Сохранить изменения и перезапустить службу WinGate?; run -stop; sleep 5000; run -start; "
        "limits written; flags written; outcome Лимиты сохранены, служба WinGate перезапущена";
    const std::string report = "page 2; " + ReportJob() + "; outcome HTML-отчёт сохранён: " +
                               (folder_ / "report.htm").string();
    const Binding bindings[] = {
        {"SpeedButton3.OnClick", [](FormControls& c) { c.SpeedButton3.Click(); }, "page 0; settings saved"},
        {"SBToStat.OnClick", [](FormControls& c) { c.SBToStat.Click(); },
         "page 2; settings saved; statistics reloaded"},
        {"RG1.OnClick", [](FormControls& c) { c.RG1.UserSelect(c.RG1.ItemIndex() == 0 ? 1 : 0); },
         "page 2; settings saved; statistics reloaded"},
        {"CSETochn.OnChange", [](FormControls& c) { c.CSETochn.UserSetText("3"); },
         "page 2; settings saved; statistics reloaded"},
        {"SBLimit.OnClick", [](FormControls& c) { c.SBLimit.Click(); },
         "page 3; ask: Изменения в таблице лимитов не сохранены. Сохранить их и перезапустить службу WinGate?; "
         "settings saved; limits reread"},
        {"SpeedButton4.OnClick", [](FormControls& c) { c.SpeedButton4.Click(); }, "page 1; settings saved"},
        {"SBAbout.OnClick", [](FormControls& c) { c.SBAbout.Click(); }, "page 4; settings saved"},
        {"PC1.OnChange", [](FormControls& c) { c.PC1.UserSelectPage(kLimitsPage); }, "page 3; settings saved"},
        {"STtoSite.OnClick", [](FormControls& c) { c.STtoSite.Click(); }, site},
        {"StaticText7.OnClick", [](FormControls& c) { c.StaticText7.Click(); }, mail},
        {"ChLBRun.OnClickCheck", [](FormControls& c) { c.ChLBRun.UserToggle(2); }, "page 2; address edit off"},
        {"ChLBOther.OnClickCheck",
         [](FormControls& c) {
             c.ChLBOther.SetChecked(0, true);
             c.TMClose.Enabled = true;
             c.ChLBOther.UserToggle(0);
         },
         "page 2; outcome Автоматическое закрытие отменено"},
        {"TMClose.OnTimer",
         [](FormControls& c) {
             c.TMClose.Enabled = true;
             c.TMClose.Tick();
         },
         "page 2; quit; settings saved"},
        {"SBRead.OnClick", [](FormControls& c) { c.SBRead.Click(); }, "page 2; limits reread"},
        {"NRead.OnClick", [](FormControls& c) { c.NRead.Click(); }, "page 2; limits reread"},
        {"SBSet.OnClick", [](FormControls& c) { c.SBSet.Click(); }, "page 2; balances from limits"},
        {"NSet.OnClick", [](FormControls& c) { c.NSet.Click(); }, "page 2; balances from limits"},
        {"SBSaveLim.OnClick", [](FormControls& c) { c.SBSaveLim.Click(); }, save},
        {"NSaveLim.OnClick", [](FormControls& c) { c.NSaveLim.Click(); }, save},
        {"NSaveEn.OnClick", [](FormControls& c) { c.NSaveEn.Click(); },
         "page 2; flags written; outcome Состояние профилей \"Включен\" сохранено"},
        {"SBSaveHTML.OnClick", [](FormControls& c) { c.SBSaveHTML.Click(); }, report},
        {"SBSend1.OnClick", [](FormControls& c) { c.SBSend1.Click(); },
         "page 2; ask: Разослать письма отмеченным пользователям? Писем: 1; SendMail"},
        {"SBEditPathHTML.OnClick", [](FormControls& c) { c.SBEditPathHTML.Click(); }, "page 2; dialog index.htm"},
        {"SBSave.OnClick", [](FormControls& c) { c.SBSave.Click(); }, "page 2; dialog day.log.htm"},
    };
    for (const Binding& b : bindings) {
        TFSend& form = Prepare();
        b.fire(form.Controls());
        EXPECT_EQ(Effect(form), b.effect) << b.event;
        fs::copy_file(fs::path(TARNWELL_TEST_DATA) / "app" / "users.reg", RegPath(),
                      fs::copy_options::overwrite_existing);
    }
}

}  // namespace
}  // namespace tarnwell
