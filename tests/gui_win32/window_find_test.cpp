// Find, filter, copy and the accelerators in the Win32 window: Ctrl+F opens the find bar and Enter in it
// selects the next cell holding the text, the filter box shows only the rows holding its text, Ctrl+C
// puts the selected block on the system clipboard as TAB-separated lines, and Alt with a caption's
// underlined letter presses its button or takes the focus to the control its label names.

#include <fstream>

#include "text/cp1251.h"
#include "window_fixture.h"

namespace tarnwell::win32::testing {
namespace {

class FindTest : public WindowTest {
protected:
    // A log of five rows below its header; the viewer shows it at the start.
    void StartOnLog() {
        const fs::path log = Folder() / "day.log";
        std::ofstream(log, std::ios::binary) << "user\turl\tbytes\r\n"
                                                "ivanov\thttp://a.example\t10\r\n"
                                                "petrov\thttp://b.example\t20\r\n"
                                                "ivanov\thttp://c.example\t30\r\n"
                                                "sidorov\thttp://d.example\t40\r\n"
                                                "ivanov\thttp://e.example\t50\r\n";
        WriteSettings({"[set]", "LastPath=" + log.string(), "[AutoRun]", "HTML=0", "Mail=0", "MailTable=0", "[opt]",
                       "AutoSave=0"});
        Start();
        ClickButton("SpeedButton3");
        ASSERT_EQ(Controls().SG1.RowCount(), 6);
    }
    // A key pressed with the modifiers held: the thread's key state says so while the key is handled.
    void KeyWith(HWND widget, WPARAM key, bool control, bool shift = false) {
        BYTE state[256] = {};
        GetKeyboardState(state);
        state[VK_CONTROL] = control ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        Key(widget, key);
        state[VK_CONTROL] = 0;
        state[VK_SHIFT] = 0;
        SetKeyboardState(state);
    }
    // Alt and the letter, as the keyboard sends it: the character of the key with Alt held.
    void Alt(wchar_t letter) {
        PostMessageW(GetFocus(), WM_SYSCHAR, letter, 1 << 29);
        Pump();
    }
    // The grid row shown as the list's item.
    std::string ItemText(const std::string& grid, int item, int column) {
        wchar_t cell[64] = L"";
        LVITEMW text{};
        text.iSubItem = column;
        text.pszText = cell;
        text.cchTextMax = 64;
        SendMessageW(Find(grid), LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&text));
        return Narrow(cell);
    }
    std::wstring Clipboard() {
        std::wstring text;
        if (!OpenClipboard(nullptr)) return L"<busy>";
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = chars;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }
};

TEST_F(FindTest, CtrlFFindsTheTextAndSelectsItsCell) {
    StartOnLog();
    HWND grid = Find("SG1");
    HWND bar = Find("PFind");
    EXPECT_FALSE(IsWindowVisible(bar));
    SetFocus(grid);
    KeyWith(grid, 'F', true);
    ASSERT_TRUE(IsWindowVisible(bar));
    HWND text = Find("EFind");
    EXPECT_EQ(GetFocus(), text);
    // The bar takes a row above the page: the table starts below it.
    RECT bar_rect{};
    RECT grid_rect{};
    GetWindowRect(bar, &bar_rect);
    GetWindowRect(grid, &grid_rect);
    EXPECT_GE(grid_rect.top, bar_rect.bottom);

    // Letter case does not matter; the search goes on from the active cell.
    TypeInto(text, L"IVANOV");
    Key(text, VK_RETURN);
    const GridControl& sg1 = Controls().SG1;
    EXPECT_EQ(sg1.Active(), (GridCell{0, 1}));
    EXPECT_EQ(Grid("SG1").ActiveRow(), 1);
    Key(text, VK_RETURN);
    EXPECT_EQ(sg1.Active(), (GridCell{0, 3}));
    EXPECT_EQ(Grid("SG1").ActiveRow(), 3);
    // The list's own focus follows the match, so a screen reader and the arrow keys go on from there.
    EXPECT_EQ(SendMessageW(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 2);
    // F3 as "Далее", Shift+F3 as "Назад".
    KeyWith(text, VK_F3, false);
    EXPECT_EQ(sg1.Active(), (GridCell{0, 5}));
    KeyWith(text, VK_F3, false, true);
    EXPECT_EQ(sg1.Active(), (GridCell{0, 3}));
    // A text in no cell: nothing selected anew, and the outcome says so.
    TypeInto(text, L"nowhere");
    Key(text, VK_RETURN);
    EXPECT_EQ(sg1.Active(), (GridCell{0, 3}));
    // Escape closes the bar and hands the focus back to the table.
    Key(text, VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(GetFocus(), grid);

    // The limits table as well: its login column holds the text.
    ClickButton("SBLimit");
    HWND limits = Find("ASGLimit");
    SetFocus(limits);
    KeyWith(limits, 'F', true);
    ASSERT_TRUE(IsWindowVisible(bar));
    TypeInto(text, L"petrov");
    Key(text, VK_RETURN);
    const GridControl& asg = Controls().ASGLimit;
    ASSERT_GE(asg.Active().row, 0);
    EXPECT_EQ(asg.GetCellEx(asg.RealColIndex(asg.Active().col), asg.GridRow(asg.Active().row)), "petrov");
    EXPECT_EQ(Grid("ASGLimit").ActiveRow(), asg.GridRow(asg.Active().row));
    // No table on the settings page: no bar there.
    ClickButton("SpeedButton4");
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_TRUE(watcher_->boxes.empty());
}

TEST_F(FindTest, FilterBoxShowsOnlyTheRowsHoldingItsText) {
    StartOnLog();
    HWND list = Find("SG1");
    HWND filter = Find("EFilter");
    ASSERT_TRUE(IsWindowVisible(filter));
    TypeInto(filter, L"ivanov");
    Key(filter, VK_RETURN);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(ItemText("SG1", 0, 1), "http://a.example");
    EXPECT_EQ(ItemText("SG1", 1, 1), "http://c.example");
    EXPECT_EQ(ItemText("SG1", 2, 1), "http://e.example");
    // A click on a filtered row is the grid's own row of it.
    ClickCell("SG1", 2, 3);
    EXPECT_EQ(Grid("SG1").ActiveRow(), 3);
    EXPECT_EQ(Controls().SG1.Active(), (GridCell{2, 2}));
    EXPECT_EQ(Controls().SG1.GetCellEx(2, Grid("SG1").ActiveRow()), "30");
    // The emptied box shows every row again.
    TypeInto(filter, L"");
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 5);
    EXPECT_EQ(ItemText("SG1", 1, 0), "petrov");
    EXPECT_TRUE(watcher_->boxes.empty());
}

TEST_F(FindTest, CtrlCPutsTheSelectedBlockOnTheClipboard) {
    StartOnLog();
    // A block from (user, row 2) to (url, row 3), the second corner with Shift held.
    ClickCell("SG1", 0, 2);
    EXPECT_EQ(Controls().SG1.Selection(), (CellRange{0, 2, 0, 2}));
    HWND grid = Find("SG1");
    KeyWith(grid, VK_DOWN, false, true);
    KeyWith(grid, VK_RIGHT, false, true);
    EXPECT_EQ(Controls().SG1.Selection(), (CellRange{0, 2, 1, 3}));
    KeyWith(grid, 'C', true);
    EXPECT_EQ(Clipboard(), L"petrov\thttp://b.example\r\nivanov\thttp://c.example\r\n");

    // Filtered, the block is of the rows shown.
    HWND filter = Find("EFilter");
    TypeInto(filter, L"ivanov");
    Key(filter, VK_RETURN);
    ClickCell("SG1", 2, 1);
    SetFocus(grid);
    KeyWith(grid, VK_DOWN, false, true);
    KeyWith(grid, 'C', true);
    EXPECT_EQ(Clipboard(), L"10\r\n30\r\n");
    EXPECT_TRUE(watcher_->boxes.empty());
}

TEST_F(FindTest, AcceleratorsPressTheirButtonsAndFocusTheirControls) {
    StartOnLog();
    // The captions read as they did; the letter is marked for the system to underline.
    EXPECT_EQ(Cp1251ToUtf8(TextOf("SBSave")), "Со&хранить ...");
    EXPECT_EQ(Cp1251ToUtf8(TextOf("SBToStat")), "&Статистика");
    SetFocus(Find("SG1"));
    // Alt+С: "Статистика" pressed, its page shown.
    Alt(L'с');
    EXPECT_TRUE(PageShown("TabSheet4"));
    // Alt+Ф on the statistics page: the focus to "Файл экспорта:"'s edit.
    Alt(L'Ф');
    EXPECT_EQ(GetFocus(), Find("EHTMLPath"));
    // Back on the viewer with the find bar: Alt+Д presses "Далее", Alt+З "Назад".
    Alt(L'П');
    ASSERT_TRUE(PageShown("TabSheet1"));
    KeyWith(Find("SG1"), 'F', true);
    TypeInto(Find("EFind"), L"ivanov");
    Alt(L'д');
    EXPECT_EQ(Controls().SG1.Active(), (GridCell{0, 1}));
    Alt(L'З');
    EXPECT_EQ(Controls().SG1.Active(), (GridCell{0, 5}));
    // Alt+Ф on the viewer: the filter box.
    Alt(L'ф');
    EXPECT_EQ(GetFocus(), Find("EFilter"));
    EXPECT_TRUE(watcher_->boxes.empty());
}

}  // namespace
}  // namespace tarnwell::win32::testing
