// The Win32 window's pages at the size it opens with, at 96 and at 144 dpi: every caption, list item and
// button text whole, every widget inside its page, the table address never over the autorun items; the
// limits' login column fixed when the grid scrolls sideways; a disabled control's own hint.

#include <windowsx.h>

#include "form/widget_names.h"
#include "text/cp1251.h"
#include "window_fixture.h"

namespace tarnwell::win32::testing {
namespace {

std::vector<std::string> FewSettings() {
    return {"[mail]", "Host=127.0.0.1", "Port=25", "[set]", "LastPath=", "[AutoRun]", "HTML=0", "Mail=0", "MailTable=0"};
}

std::wstring ClassName(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK Collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

int TextWidth(HWND window, const std::wstring& text) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

class LayoutTest : public WindowTest {
protected:
    // Every caption of the page shown is whole: labels, buttons, frames and check list items; the
    // lists that do not scroll show every item; nothing reaches past the page.
    void ExpectPageWhole(const std::string& page) {
        SCOPED_TRACE(page);
        HWND panel = Find(page);
        const RECT area = ScreenRect(panel);
        std::vector<HWND> widgets;
        EnumChildWindows(panel, Collect, reinterpret_cast<LPARAM>(&widgets));
        for (HWND widget : widgets) {
            if (!IsWindowVisible(widget) || GetParent(widget) != panel) continue;
            ControlView* view = program_->Window().ViewOf(widget);
            const std::string name = view != nullptr ? view->Name() : std::string("?");
            SCOPED_TRACE(Narrow(ClassName(widget)) + " of " + name + ": " + Cp1251ToUtf8(Narrow(WindowTextOf(widget))));
            const RECT rect = ScreenRect(widget);
            // A drop-down box's rectangle holds its list; a drop-down reaches out of the page by design.
            if (_wcsicmp(ClassName(widget).c_str(), WC_COMBOBOXW) != 0) {
                EXPECT_GE(rect.left, area.left);
                EXPECT_GE(rect.top, area.top);
                EXPECT_LE(rect.right, area.right);
                EXPECT_LE(rect.bottom, area.bottom);
            }
            RECT client{};
            GetClientRect(widget, &client);
            const std::wstring text = WindowTextOf(widget);
            const LONG style = GetWindowLongW(widget, GWL_STYLE);
            if (_wcsicmp(ClassName(widget).c_str(), L"Static") == 0 && !text.empty() && (style & SS_ICON) == 0) {
                EXPECT_LE(TextWidth(widget, text), client.right);
            } else if (_wcsicmp(ClassName(widget).c_str(), L"Button") == 0) {
                const LONG type = style & BS_TYPEMASK;
                int need = TextWidth(widget, text);
                if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON || type == BS_CHECKBOX ||
                    type == BS_AUTOCHECKBOX) {
                    need += GetSystemMetrics(SM_CXMENUCHECK);
                } else if (type == BS_GROUPBOX) {
                    need += 2 * MulDiv(6, Dpi(), 96);
                } else if (type == BS_PUSHBUTTON) {
                    need += 2 * GetSystemMetrics(SM_CXEDGE);
                }
                EXPECT_LE(need, client.right);
            } else if (_wcsicmp(ClassName(widget).c_str(), WC_LISTVIEWW) == 0 && (style & LVS_NOCOLUMNHEADER) != 0) {
                ExpectItemsWhole(widget, name != "ChLBTable" && name != "ChLBHTML");
            }
        }
    }

    // A check list: each item's text fits its label; `all_shown`: every item is within the list.
    void ExpectItemsWhole(HWND list, bool all_shown) {
        const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        RECT client{};
        GetClientRect(list, &client);
        for (int i = 0; i < count; ++i) {
            wchar_t text[128] = L"";
            LVITEMW item{};
            item.pszText = text;
            item.cchTextMax = 128;
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            RECT label{};
            label.left = LVIR_LABEL;
            SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&label));
            const auto width = static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)));
            EXPECT_LE(label.left + width, std::min(label.right, client.right)) << "item " << i;
            if (all_shown) {
                EXPECT_LE(label.bottom, client.bottom) << "item " << i;
            }
        }
    }

    int Dpi() const { return static_cast<int>(GetDpiForWindowOrSystem(program_->Window().Hwnd())); }
    static UINT GetDpiForWindowOrSystem(HWND window) {
        HDC dc = GetDC(window);
        const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
        ReleaseDC(window, dc);
        return static_cast<UINT>(dpi);
    }

    void ExpectEveryPageWhole() {
        const std::vector<std::pair<std::string, std::string>> pages = {{"SpeedButton3", "TabSheet1"},
                                                                        {"SBToStat", "TabSheet4"},
                                                                        {"SBLimit", "TabSheet5"},
                                                                        {"SpeedButton4", "TabSheet2"},
                                                                        {"SBAbout", "TabSheet3"}};
        for (const auto& [button, page] : pages) {
            ClickButton(button);
            ASSERT_TRUE(PageShown(page));
            ExpectPageWhole(page);
        }
        // The navigation column: every button whole, none scrolled away, each caption whole.
        HWND scroller = Find(std::string(window_parts::kNavigationScroller.Name));
        const RECT area = ScreenRect(scroller);
        for (const auto& [button, page] : pages) {
            SCOPED_TRACE(button);
            const RECT rect = ScreenRect(Find(button));
            EXPECT_GE(rect.top, area.top);
            EXPECT_LE(rect.bottom, area.bottom);
            RECT client{};
            GetClientRect(Find(button), &client);
            EXPECT_LE(TextWidth(Find(button), WindowTextOf(Find(button))), client.right);
        }
        // The table address lies below the autorun items, never over one of them.
        HWND run = Find("ChLBRun");
        const RECT address = ScreenRect(Find("ESGToUser"));
        for (int i = 0; i < Controls().ChLBRun.Count(); ++i) {
            RECT item{};
            item.left = LVIR_BOUNDS;
            SendMessageW(run, LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            MapWindowPoints(run, nullptr, reinterpret_cast<POINT*>(&item), 2);
            RECT overlap{};
            EXPECT_FALSE(IntersectRect(&overlap, &item, &address)) << "item " << i;
        }
        EXPECT_GT(address.bottom, address.top);
    }
};

TEST_F(LayoutTest, EveryCaptionIsWholeAtTheOpeningSize) {
    WriteSettings(FewSettings());
    Start();
    ExpectEveryPageWhole();
}

TEST_F(LayoutTest, EveryCaptionIsWholeAt144Dpi) {
    WriteSettings(FewSettings());
    Start();
    // The window moved to a monitor of 144 dpi: the system suggests its rectangle scaled.
    HWND window = Program().Window().Hwnd();
    RECT rect = ScreenRect(window);
    const int dpi = GetDpiForWindowOrSystem(window);
    RECT suggested{rect.left, rect.top, rect.left + MulDiv(rect.right - rect.left, 144, dpi),
                   rect.top + MulDiv(rect.bottom - rect.top, 144, dpi)};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    ExpectEveryPageWhole();
}

TEST_F(LayoutTest, LoginColumnStaysWhenTheLimitsScrollSideways) {
    WriteSettings(FewSettings());
    Start();
    ClickButton("SBLimit");
    // A window narrower than the table, so that it scrolls sideways.
    HWND window = Program().Window().Hwnd();
    SetWindowPos(window, nullptr, 0, 0, 480, 360, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    GridView& grid = Grid("ASGLimit");
    HWND list = grid.Hwnd();
    const TTableGrid& limits = Controls().ASGLimit;
    const int row = 1;
    RECT before{};
    ASSERT_TRUE(grid.CellRect(0, row, before));
    SendMessageW(list, LVM_SCROLL, 200, 0);
    Pump();
    ASSERT_GT(GetScrollPos(list, SB_HORZ), 0);
    RECT after{};
    ASSERT_TRUE(grid.CellRect(0, row, after));
    EXPECT_EQ(after.left, before.left);
    // What the screen shows there is the login's cell, not the column scrolled under it.
    EXPECT_EQ(limits.GetCellEx(0, row), Controls().ASGLimit.GetCellEx(0, row));
    // A click there is on the login, which opens no editor.
    DoubleClickCell("ASGLimit", 0, row);
    EXPECT_FALSE(IsWindowVisible(Find("ASGLimit.Editor")));
}

TEST_F(LayoutTest, DisabledControlShowsItsOwnHint) {
    WriteSettings(FewSettings());
    Start();
    ClickButton("SpeedButton4");
    HWND address = Find("ESGToUser");
    ASSERT_FALSE(IsWindowEnabled(address));  // the table mail is not ticked
    // The system hands the mouse over a disabled widget to its parent.
    RECT rect = ScreenRect(address);
    HWND panel = GetParent(address);
    POINT at{rect.left + 4, rect.top + 3};
    ScreenToClient(panel, &at);
    PostMessageW(panel, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    Pump();
    EXPECT_EQ(StatusText(), std::string(Controls().ESGToUser.LongHint()));
    EXPECT_FALSE(StatusText().empty());
}

// An edit narrower than its text shows the text's start: as the settings load it, and after the user
// typed at its end and left it.
TEST_F(LayoutTest, EditsShowTheStartOfTheirText) {
    std::vector<std::string> settings = FewSettings();
    const std::string long_name = "Администратор сети отдела снабжения и сбыта головного предприятия";
    settings.insert(settings.begin() + 1, "FromName=" + long_name);
    WriteSettings(settings);
    Start();
    ClickButton("SpeedButton4");
    HWND edit = Find("EFromName");
    const int width = TextWidth(edit, Wide(Utf8ToCp1251(long_name)));
    RECT client{};
    GetClientRect(edit, &client);
    ASSERT_GT(width, client.right);  // the text does not fit
    // For a one-line edit: the index of the first character shown.
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    SetFocus(edit);
    const std::wstring typed = Wide(Utf8ToCp1251(long_name + " и его филиалов"));
    SetWindowTextW(edit, typed.c_str());
    SendMessageW(edit, EM_SETSEL, typed.size(), typed.size());
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
    Pump();
    ASSERT_GT(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);  // scrolled to the caret at the end
    Key(edit, VK_TAB);
    ASSERT_NE(GetFocus(), edit);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

}  // namespace
}  // namespace tarnwell::win32::testing
