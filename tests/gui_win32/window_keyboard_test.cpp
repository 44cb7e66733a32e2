// The Win32 window from the keyboard alone: Tab leaves each grid (also from its cell editor), the page
// keys press the navigation buttons as a click does, Enter presses a focused navigation button, Space
// toggles a check list's item at once, and the keyboard's focus shows its control's hint.

#include "text/cp1251.h"
#include "window_fixture.h"

namespace tarnwell::win32::testing {
namespace {

std::vector<std::string> LimitsSettings(bool auto_save = false) {
    return {"[mail]", "Host=127.0.0.1", "Port=25", "[set]", "LastPath=", "[AutoRun]", "HTML=0", "Mail=0", "MailTable=0", "[opt]",
            std::string("AutoSave=") + (auto_save ? "1" : "0"), "DefaultLim=200000"};
}

// A key pressed with Ctrl (and Shift) held: the thread's key state says so while the key is handled.
class KeyboardTest : public WindowTest {
protected:
    void KeyWith(HWND widget, WPARAM key, bool shift) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = 0x80;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        Key(widget, key);
        state[VK_CONTROL] = 0;
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
    }
    // The widget that has the focus, as a control's name ("" for none of ours).
    std::string FocusName() const {
        ControlView* view = program_->Window().ViewOf(GetFocus());
        return view != nullptr ? view->Name() : std::string();
    }
};

TEST_F(KeyboardTest, TabAndShiftTabLeaveEachGrid) {
    WriteSettings(LimitsSettings());
    Start();
    const struct {
        const char* page_button;
        const char* grid;
    } grids[] = {{"SpeedButton3", "SG1"}, {"SBToStat", "ASGRead"}, {"SBLimit", "ASGLimit"}};
    for (const auto& g : grids) {
        SCOPED_TRACE(g.grid);
        ClickButton(g.page_button);
        HWND grid = Find(g.grid);
        for (bool back : {false, true}) {
            SetFocus(grid);
            ASSERT_EQ(GetFocus(), grid);
            BYTE state[256] = {};
            GetKeyboardState(state);
            state[VK_SHIFT] = back ? 0x80 : 0;
            SetKeyboardState(state);
            Key(grid, VK_TAB);
            state[VK_SHIFT] = 0;
            SetKeyboardState(state);
            EXPECT_NE(GetFocus(), grid) << (back ? "Shift+Tab" : "Tab");
            EXPECT_NE(GetFocus(), nullptr);
        }
    }
    // From the editor of a limits cell: the text is kept and the focus leaves the grid.
    ClickButton("SBLimit");
    const TTableGrid& limits = Controls().ASGLimit;
    int row = 1;
    while (row < limits.RowCount() && limits.GetCellEx(0, row) != "ivanov") ++row;
    ASSERT_LT(row, limits.RowCount());
    DoubleClickCell("ASGLimit", 2, row);
    HWND editor = Find("ASGLimit.Editor");
    ASSERT_TRUE(IsWindowVisible(editor));
    TypeInto(editor, L"4321");
    Key(editor, VK_TAB);
    EXPECT_FALSE(IsWindowVisible(editor));
    EXPECT_EQ(limits.GetCellEx(2, row), "4321");
    EXPECT_NE(GetFocus(), Find("ASGLimit"));
    EXPECT_NE(GetFocus(), editor);
}

TEST_F(KeyboardTest, PageKeysPressTheNavigationButtons) {
    WriteSettings(LimitsSettings(true));
    Start();
    ASSERT_TRUE(PageShown("TabSheet4"));
    // Ctrl+1 to Ctrl+5: the buttons from the top.
    const std::vector<std::pair<WPARAM, std::string>> numbers = {
        {'1', "TabSheet1"}, {'2', "TabSheet4"}, {'3', "TabSheet5"}, {'4', "TabSheet2"}, {'5', "TabSheet3"}};
    for (const auto& [key, page] : numbers) {
        KeyWith(Find("ASGRead"), key, false);
        EXPECT_TRUE(PageShown(page)) << static_cast<char>(key);
        // The focus is on a widget that shows.
        EXPECT_TRUE(GetFocus() == nullptr || IsWindowVisible(GetFocus())) << static_cast<char>(key);
        EXPECT_TRUE(watcher_->boxes.empty()) << static_cast<char>(key);
    }
    // Ctrl+Tab to the next button, wrapping round; Ctrl+Shift+Tab back.
    KeyWith(Program().Window().Hwnd(), VK_TAB, false);
    EXPECT_TRUE(PageShown("TabSheet1"));
    KeyWith(Program().Window().Hwnd(), VK_TAB, false);
    EXPECT_TRUE(PageShown("TabSheet4"));
    KeyWith(Program().Window().Hwnd(), VK_TAB, true);
    KeyWith(Program().Window().Hwnd(), VK_TAB, true);
    EXPECT_TRUE(PageShown("TabSheet3"));
    EXPECT_TRUE(watcher_->boxes.empty()) << "Ctrl+Tab";

    // The handler runs as for a click: with auto-save on, the page change writes the settings.
    TypeInto(Find("EHost"), L"keyed.example.org");
    KeyWith(Find("EHost"), '2', false);
    EXPECT_TRUE(PageShown("TabSheet4"));
    EXPECT_NE(ReadSettings().find("Host=keyed.example.org"), std::string::npos);
    EXPECT_TRUE(watcher_->boxes.empty()) << "typed";

    // Enter on a focused navigation button presses it.
    SetFocus(Find("SBLimit"));
    Key(Find("SBLimit"), VK_RETURN);
    EXPECT_TRUE(PageShown("TabSheet5"));
    EXPECT_TRUE(watcher_->boxes.empty()) << (watcher_->boxes.empty() ? "" : watcher_->boxes.front());
}

TEST_F(KeyboardTest, SpaceTogglesTheFocusedCheckListItemAtOnce) {
    WriteSettings(LimitsSettings());
    Start();
    KeyWith(Find("ASGRead"), '4', false);
    ASSERT_TRUE(PageShown("TabSheet2"));
    HWND run = Find("ChLBRun");
    const bool was = Controls().ChLBRun.Checked(0);
    // Reached by Tab from the list before it, as the keyboard user would: no arrow first.
    SetFocus(Find("ChLBHTML"));
    Key(Find("ChLBHTML"), VK_TAB);
    ASSERT_EQ(GetFocus(), run);
    EXPECT_EQ(SendMessageW(run, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0);
    Key(run, VK_SPACE);
    EXPECT_NE(Controls().ChLBRun.Checked(0), was);
}

TEST_F(KeyboardTest, FocusShowsTheHintAsTheMouseDoes) {
    WriteSettings(LimitsSettings());
    Start();
    ClickButton("SBToStat");
    SetFocus(Find("EHTMLPath"));
    Key(Find("EHTMLPath"), VK_TAB);  // to the "..." button
    ASSERT_EQ(FocusName(), "SBEditPathHTML");
    EXPECT_EQ(StatusText(), std::string(Controls().SBEditPathHTML.LongHint()));
    EXPECT_FALSE(StatusText().empty());
}

}  // namespace
}  // namespace tarnwell::win32::testing
