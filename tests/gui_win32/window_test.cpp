// The Win32 window driven through its own messages: navigation and auto-save, hints, the "Послать" boxes,
// the limits with the restart against Wine's registry, the pop-up menu, the file list, the save-as flow
// and the autorun run that closes itself.

#include "window_fixture.h"
// The dialog constants need the types that the fixture's headers bring.
#include <commdlg.h>

#include "text/cp1251.h"
#include "text/cp1251_literal.h"

namespace tarnwell::win32::testing {
namespace {

using namespace literals;
using namespace std::chrono_literals;

// settings.ini with every section; the arguments are the values the tests vary.
std::vector<std::string> Settings(const std::string& last_path = "", bool auto_save = false, bool html = false,
                                  bool auto_close = false, const std::string& html_path = "export.htm") {
    return {"[mail]",
            "Host=127.0.0.1",
            "Port=25",
            "Domain=example.local",
            "HTMLPath=" + html_path,
            "[set]",
            "LastPath=" + last_path,
            "[AutoRun]",
            std::string("HTML=") + (html ? "1" : "0"),
            "Mail=0",
            "MailTable=0",
            "[TableStat]",
            "Send=1",
            "Login=1",
            "FullName=1",
            "ClientSendTraffic=1",
            "[TableHTML]",
            "Login=1",
            "FullName=1",
            "[opt]",
            std::string("AutoClose=") + (auto_close ? "1" : "0"),
            std::string("AutoSave=") + (auto_save ? "1" : "0"),
            "Tochnost=2",
            "DefaultLim=200000"};
}

int RowOf(const TTableGrid& grid, int col, std::string_view text) {
    for (int row = 0; row < grid.RowCount(); ++row) {
        if (grid.GetCellEx(col, row) == text) return row;
    }
    return -1;
}

// Selects an item of a list view as the user's click would leave it, and gives the list the focus.
void FocusItem(HWND list, int item) {
    SetFocus(list);
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
}

TEST_F(WindowTest, NavigationShowsEachPageAndSavesTheSettingsFirst) {
    WriteSettings(Settings("", true));
    Start();
    EXPECT_TRUE(PageShown("TabSheet4"));  // the start-up ends on the statistics

    const std::vector<std::pair<std::string, std::string>> buttons = {{"SpeedButton3", "TabSheet1"},
                                                                      {"SBToStat", "TabSheet4"},
                                                                      {"SBLimit", "TabSheet5"},
                                                                      {"SpeedButton4", "TabSheet2"},
                                                                      {"SBAbout", "TabSheet3"}};
    for (const auto& [button, page] : buttons) {
        TypeInto(Find("EHost"), Wide("mail-" + button + ".example.org"));
        ClickButton(button);
        for (const auto& [other_button, other_page] : buttons) {
            EXPECT_EQ(PageShown(other_page), other_page == page) << button << " " << other_page;
        }
        EXPECT_NE(ReadSettings().find("Host=mail-" + button + ".example.org"), std::string::npos) << button;
    }

    // Auto-save unticked by the user: the next page change writes nothing.
    HWND other = Find("ChLBOther");
    FocusItem(other, 1);
    Key(other, VK_SPACE);
    ASSERT_FALSE(Controls().ChLBOther.Checked(1));
    const std::string saved = ReadSettings();
    TypeInto(Find("EHost"), L"not-saved.example.org");
    ClickButton("SpeedButton3");
    EXPECT_TRUE(PageShown("TabSheet1"));
    EXPECT_EQ(ReadSettings(), saved);
    EXPECT_TRUE(watcher_->boxes.empty());
}

TEST_F(WindowTest, StatusBarShowsTheHintUnderTheMouse) {
    WriteSettings(Settings());
    Start();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"SBSend1", "Разослать наработанный трафик пользователям"},  // no tool tip, the long part
        {"EHTMLPath", "По этому пути при настройке автоматического сохранения будут сохраняться данные в формате HTML"},
        {"RG1.1", "Рaзмерность отображения трафика"},  // a radio button shows its group's hint
        {"CSETochn.Arrows", " Количество знаков после запятой"},
        {"EHTMLPath.Label", ""},  // a caption strip has none, nor has anything around it
        {"SBSave", "Сохранить как файл HTML или Excel"},
    };
    for (const auto& [name, hint] : cases) {
        MouseOver(name);
        EXPECT_EQ(Cp1251ToUtf8(StatusText()), hint) << name;
    }

    // Tool tips only where the control asks for them: the window's own tip control (the lists have theirs)
    // knows those.
    struct Search {
        HWND owner;
        HWND tips;
    } search{Program().Window().Hwnd(), nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            auto* search = reinterpret_cast<Search*>(param);
            wchar_t name[64] = L"";
            GetClassNameW(window, name, 64);
            if (std::wstring(name) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == search->owner &&
                (search->tips == nullptr ||
                 SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0) > SendMessageW(search->tips, TTM_GETTOOLCOUNT, 0, 0))) {
                search->tips = window;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    HWND tips = search.tips;
    ASSERT_NE(tips, nullptr);
    for (const auto& [name, shown] : std::vector<std::pair<std::string, bool>>{
             {"SBSave", true}, {"EHost", true}, {"ChLBRun", true}, {"SBSend1", false}, {"ASGRead", false}}) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = Program().Window().Hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(Find(name));
        EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != 0, shown) << name;
    }
}

TEST_F(WindowTest, SendBoxIsToggledByClickAndSpaceAndStored) {
    WriteSettings(Settings("", true));
    Start();
    const TTableGrid& grid = Controls().ASGRead;
    const int row = RowOf(grid, 1, "ivanov");
    ASSERT_GT(row, 0);
    bool state = true;
    ASSERT_TRUE(grid.GetCheckBoxState(0, row, state));
    ASSERT_FALSE(state);

    ClickCell("ASGRead", 0, row);
    ASSERT_TRUE(grid.GetCheckBoxState(0, row, state));
    EXPECT_TRUE(state);
    Key(Find("ASGRead"), VK_SPACE);
    grid.GetCheckBoxState(0, row, state);
    EXPECT_FALSE(state);
    Key(Find("ASGRead"), VK_SPACE);
    grid.GetCheckBoxState(0, row, state);
    EXPECT_TRUE(state);
    // A click on a cell without a box changes nothing.
    const std::uint64_t revision = grid.Revision();
    ClickCell("ASGRead", 1, row);
    EXPECT_EQ(grid.Revision(), revision);

    ClickButton("SpeedButton3");  // auto-save stores the boxes
    EXPECT_EQ(Number("ivanov", "SendMail"), 1);
    EXPECT_TRUE(watcher_->boxes.empty());
}

}  // namespace
}  // namespace tarnwell::win32::testing
