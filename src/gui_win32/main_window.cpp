#include "gui_win32/main_window.h"

#include <algorithm>
#include <stdexcept>

#include <windowsx.h>

#include "form/accelerators.h"
#include "gui_win32/control_id.h"
#include "gui_win32/win32_host.h"
#include "text/cp1251_case.h"

namespace tarnwell::win32 {

namespace {

// The window's designed place and size, and the least it may be made.
constexpr int kNavWidth = 83;
constexpr int kStatusHeight = 20;
constexpr int kMinWidth = 360;
constexpr int kMinHeight = 240;

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, TFSend& form, Win32Host& host)
    : form_(form), host_(host), ui_(instance, DpiOfWindow(nullptr)) {
    RegisterWindowClasses(instance, WindowProc);
    FormControls& c = form_.Controls();
    // Placed at its designed place and size on the primary monitor; moved to another, it is scaled again.
    const Scale system(DpiOfWindow(nullptr));
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, Wide(c.Caption).c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, system(c.Left), system(c.Top), system(c.Width),
                            system(c.Height), nullptr, nullptr, instance, this);
    if (hwnd_ == nullptr) throw std::runtime_error("cannot create the main window");
    ui_.SetMain(hwnd_);
    ui_.SetDpi(DpiOfWindow(hwnd_));
    ui_.UserActed = [this] { UserActed(); };
    ui_.ContextMenu = [this](ControlView&, POINT screen) { ShowGridMenu(screen); };
    Create();
}

MainWindow::~MainWindow() {
    ui_.UserActed = nullptr;
    ui_.ContextMenu = nullptr;
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void MainWindow::Create() {
    FormControls& c = form_.Controls();
    const ColorScheme& colors = host_.Colors();
    Ui::RefreshScope quiet(ui_);
    nav_ = std::make_unique<NavColumn>(ui_, views_, hwnd_, c);
    pages_[kViewerPage] = std::make_unique<ViewerPage>(ui_, views_, hwnd_, c, form_.Browser(), colors);
    pages_[kSettingsPage] = std::make_unique<SettingsPage>(ui_, views_, hwnd_, c);
    pages_[kStatPage] = std::make_unique<StatPage>(ui_, views_, hwnd_, c, colors);
    pages_[kLimitsPage] = std::make_unique<LimitsPage>(ui_, views_, hwnd_, c, colors);
    pages_[kAboutPage] = std::make_unique<AboutPage>(ui_, views_, hwnd_, c);
    find_ = std::make_unique<FindBarPage>(ui_, views_, hwnd_, c);
    std::array<HWND, kPageCount> panels{};
    for (int i = 0; i < kPageCount; ++i)
        panels[static_cast<std::size_t>(i)] = pages_[static_cast<std::size_t>(i)]->Panel();
    views_.push_back(std::make_unique<PageControlView>(ui_, c.PC1, panels));
    auto status = std::make_unique<StatusBarView>(ui_, hwnd_, c.StatBar);
    status_ = status.get();
    views_.push_back(std::move(status));
    status_->SetHeight(ui_(kStatusHeight));
    AddToolTips();
    FitToFonts();
    Layout();
    Refresh();
}

int MainWindow::NavWidth() const {
    return std::max(ui_(kNavWidth), static_cast<int>(nav_->Needed().cx));
}

// The window opens at its designed size, or larger where the fonts drawn need more for some page: no
// caption, list item or button text is cut at the opening size.
void MainWindow::FitToFonts() {
    int width = static_cast<int>(find_->Needed().cx);
    int height = static_cast<int>(nav_->Needed().cy);
    for (const auto& page : pages_) {
        const SIZE needed = page->Needed();
        width = std::max(width, static_cast<int>(needed.cx));
        height = std::max(height, static_cast<int>(needed.cy));
    }
    RECT status{};
    GetWindowRect(status_->Hwnd(), &status);
    RECT client{};
    GetClientRect(hwnd_, &client);
    const int need_width = width + NavWidth();
    const int need_height = height + static_cast<int>(status.bottom - status.top);
    if (need_width <= client.right && need_height <= client.bottom) return;
    RECT frame{0, 0, std::max(need_width, static_cast<int>(client.right)),
               std::max(need_height, static_cast<int>(client.bottom))};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
    // Never larger than the monitor's work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    int most_width = frame.right - frame.left;
    int most_height = frame.bottom - frame.top;
    if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
        most_width = std::min(most_width, static_cast<int>(monitor.rcWork.right - monitor.rcWork.left));
        most_height = std::min(most_height, static_cast<int>(monitor.rcWork.bottom - monitor.rcWork.top));
    }
    SetWindowPos(hwnd_, nullptr, 0, 0, most_width, most_height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Show(int show_command) {
    ShowWindow(hwnd_, show_command);
    UpdateWindow(hwnd_);
}

HWND MainWindow::Find(std::string_view name) const {
    return FindControl(hwnd_, name);
}

void MainWindow::Layout() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    SendMessageW(status_->Hwnd(), WM_SIZE, 0, 0);
    status_->PlaceParts();
    RECT status{};
    GetWindowRect(status_->Hwnd(), &status);
    const int status_height = status.bottom - status.top;
    const int height = std::max(0, static_cast<int>(client.bottom) - status_height);
    const int nav = NavWidth();
    const int pages_width = std::max(0, static_cast<int>(client.right) - nav);
    nav_->Place({pages_width, 0, client.right, height});
    // The find bar, while shown, takes a row above the page.
    const int bar = find_shown_ ? std::min(height, static_cast<int>(find_->Needed().cy)) : 0;
    find_->Place({0, 0, pages_width, bar});
    for (auto& page : pages_) page->Place({0, bar, pages_width, height});
}

bool MainWindow::FindBarWanted() const {
    FormControls& c = form_.Controls();
    return c.PFind.Visible && c.PageTable(c.PC1.ActivePageIndex()) != nullptr;
}

void MainWindow::Refresh() {
    Ui::RefreshScope quiet(ui_);
    for (auto& view : views_) view->Refresh();
    if (find_ != nullptr && FindBarWanted() != find_shown_) {
        find_shown_ = !find_shown_;
        ShowWindow(find_->Panel(), find_shown_ ? SW_SHOWNA : SW_HIDE);
        Layout();
    }
    if (form_.Busy()) SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void MainWindow::RepaintNow(const Control& control) {
    Ui::RefreshScope quiet(ui_);
    for (auto& view : views_) {
        if (view->FormControl() != &control) continue;
        view->Refresh();
        for (HWND widget : view->Widgets()) {
            RedrawWindow(widget, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    }
}

void MainWindow::UserActed() {
    Refresh();
}

bool MainWindow::PreTranslate(MSG& message) {
    if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) {
        ShowHintFor(message.message == WM_MOUSEMOVE ? WidgetUnder(message.hwnd, message.lParam) : message.hwnd);
    }
    if (message.hwnd == nullptr || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) return false;
    const bool key = message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST;
    const bool handled = (message.message == WM_SYSCHAR && PressAccelerator(static_cast<wchar_t>(message.wParam))) ||
                         (message.message == WM_KEYDOWN &&
                          (PageKey(message.hwnd, message.wParam) || FindKey(message.hwnd, message.wParam))) ||
                         IsDialogMessageW(hwnd_, &message) != FALSE;
    // The keyboard's focus shows the hint of where it went, as the mouse does.
    if (key && GetFocus() != focus_seen_) {
        focus_seen_ = GetFocus();
        ShowHintFor(focus_seen_);
    }
    return handled;
}

// A disabled widget gets no mouse messages: they go to its parent. The hint is the one of the widget
// under the pointer all the same, enabled or not.
HWND MainWindow::WidgetUnder(HWND widget, LPARAM at) {
    if (widget == nullptr) return widget;
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    for (int depth = 0; depth < 8; ++depth) {
        HWND child = ChildWindowFromPointEx(widget, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == nullptr || child == widget) break;
        MapWindowPoints(widget, child, &point, 1);
        widget = child;
    }
    return widget;
}

// The page keys: Ctrl+1 to Ctrl+5 press the navigation buttons from the top, Ctrl+Tab and Ctrl+Shift+Tab
// the one after and before the page shown; Enter on a navigation button presses it. Each runs the
// button's handler as its click does. True when the key was one of them.
bool MainWindow::PageKey(HWND target, WPARAM key) {
    const std::array<Button*, 5> buttons = form_.Controls().NavigationButtons();
    const int count = static_cast<int>(buttons.size());
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    int press = -1;
    if (key == VK_RETURN && !control && !alt) {
        for (int i = 0; i < count; ++i) {
            if (target == Find(buttons[static_cast<std::size_t>(i)]->Name)) press = i;
        }
    } else if (control && !alt && key >= '1' && key < static_cast<WPARAM>('1' + count)) {
        press = static_cast<int>(key - '1');
    } else if (control && !alt && key == VK_TAB) {
        const int active = form_.Controls().PC1.ActivePageIndex();
        int shown = 0;
        for (int i = 0; i < count; ++i) {
            if (active >= 0 && active < kPageCount &&
                buttons[static_cast<std::size_t>(i)]->Caption == kPages[static_cast<std::size_t>(active)].Title) {
                shown = i;
            }
        }
        press = (shown + (GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1)) % count;
    }
    if (press < 0) return false;
    Button& button = *buttons[static_cast<std::size_t>(press)];
    if (!button.Enabled || !button.Visible) return true;
    button.Click();
    UserActed();
    // The focus stays on a widget that shows: the first of the page shown when it was on another page.
    HWND focus = GetFocus();
    if (focus == nullptr || !IsWindowVisible(focus)) {
        const int active = form_.Controls().PC1.ActivePageIndex();
        if (active >= 0 && active < kPageCount) {
            HWND panel = pages_[static_cast<std::size_t>(active)]->Panel();
            if (HWND first = GetNextDlgTabItem(panel, nullptr, FALSE)) SetFocus(first);
        }
    }
    return true;
}

bool MainWindow::FindKey(HWND target, WPARAM key) {
    FormControls& c = form_.Controls();
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if (alt) return false;
    if (control && key == 'F') {
        c.PFind.UserOpen();
        UserActed();
        if (find_shown_) {
            SetFocus(find_->TextEdit());
            SendMessageW(find_->TextEdit(), EM_SETSEL, 0, -1);
        }
        return true;
    }
    if (!control && key == VK_F3 && find_shown_) {
        (GetKeyState(VK_SHIFT) < 0 ? c.SBFindPrev : c.SBFindNext).Click();
        UserActed();
        return true;
    }
    if (!control && key == VK_ESCAPE && find_shown_ && (target == find_->Panel() || IsChild(find_->Panel(), target))) {
        c.PFind.UserClose();
        UserActed();
        // The focus goes back to the table searched.
        if (GridControl* table = c.PageTable(c.PC1.ActivePageIndex())) SetFocus(Find(table->Name));
        return true;
    }
    if (!control && key == VK_RETURN) {
        auto* edit = dynamic_cast<EditView*>(ui_.ViewOf(target));
        if (edit == nullptr || !edit->Accept()) return false;
        UserActed();
        return true;
    }
    return false;
}

// The letters come from the one table both windows use, which keeps them unique among the controls
// shown together; the window's texts carry them for the system to underline.
bool MainWindow::PressAccelerator(wchar_t letter) {
    const std::string typed = Narrow(std::wstring(1, letter));
    if (typed.size() != 1) return false;
    FormControls& c = form_.Controls();
    const int page = c.PC1.ActivePageIndex();
    for (const tarnwell::AcceleratorKey& key : AcceleratorKeys()) {
        if (key.Scope == AcceleratorScope::kLimitsMenu || !ScopeShownOn(key.Scope, static_cast<PageIndex>(page)) ||
            (key.Scope == AcceleratorScope::kFindBar && !find_shown_) ||
            FoldCp1251(static_cast<unsigned char>(key.Letter.front())) != FoldCp1251(static_cast<unsigned char>(typed[0]))) {
            continue;
        }
        HWND widget = Find(key.Control);
        ControlView* view = ui_.ViewOf(widget);
        Control* control = view != nullptr ? view->FormControl() : nullptr;
        if (control == nullptr || !control->Enabled || !control->Visible || !IsWindowVisible(widget)) continue;
        if (auto* button = dynamic_cast<ButtonView*>(view)) {
            button->Press();
        } else if (auto* box = dynamic_cast<CheckBoxView*>(view)) {
            SetFocus(widget);
            box->Toggle();
        } else {
            // A radio group's frame takes no focus: its first button does.
            const bool tab_stop = (GetWindowLongW(widget, GWL_STYLE) & WS_TABSTOP) != 0;
            HWND target = tab_stop ? widget : GetNextDlgTabItem(hwnd_, widget, FALSE);
            if (target != nullptr) SetFocus(target);
            if (target != nullptr && dynamic_cast<EditView*>(ui_.ViewOf(target)) != nullptr) {
                SendMessageW(target, EM_SETSEL, 0, -1);
            }
        }
        UserActed();
        return true;
    }
    return false;
}

// The status bar shows the long hint of the control under the mouse, or of the nearest enclosing one that
// has a hint; nothing when there is none. It changes only when the mouse comes to another control, so a
// status text (the service restart's) stays until then.
void MainWindow::ShowHintFor(HWND widget) {
    if (widget == nullptr || (widget != hwnd_ && !IsChild(hwnd_, widget))) return;
    const Control* control = nullptr;
    for (HWND w = widget; w != nullptr && w != hwnd_; w = GetParent(w)) {
        ControlView* view = ui_.ViewOf(w);
        if (view != nullptr && view->FormControl() != nullptr && !view->FormControl()->Hint.empty()) {
            control = view->FormControl();
            break;
        }
    }
    if (hint_known_ && control == hinted_) return;
    hint_known_ = true;
    hinted_ = control;
    form_.Controls().StatBar.ShowHintOf(control);
    Ui::RefreshScope quiet(ui_);
    status_->Refresh();
}

// Every control that may show a tool tip gets one; its text is asked for when it shows, so a control
// whose hint or ShowHint changes shows the new one.
void MainWindow::AddToolTips() {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                               0, 0, hwnd_, nullptr, ui_.Instance(), nullptr);
    if (tooltip_ == nullptr) return;
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ui_(400));
    for (auto& view : views_) {
        if (view->FormControl() == nullptr || !view->FormControl()->ShowHint || view->Hwnd() == nullptr) continue;
        TOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(view->Hwnd());
        tool.lpszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool MainWindow::ToolTipText(NMHDR& header) {
    if (header.hwndFrom != tooltip_ || header.code != TTN_GETDISPINFOW) return false;
    auto& info = reinterpret_cast<NMTTDISPINFOW&>(header);
    ControlView* view = ui_.ViewOf(reinterpret_cast<HWND>(header.idFrom));
    tip_text_.clear();
    if (view != nullptr && view->FormControl() != nullptr && view->FormControl()->ShowHint) {
        tip_text_ = Wide(view->FormControl()->ShortHint());
    }
    info.lpszText = tip_text_.data();
    return true;
}

// PopupMenu1 of the limits table.
void MainWindow::ShowGridMenu(POINT screen) {
    const std::array<Button*, 5> items = form_.Controls().LimitsMenu();
    HMENU menu = CreatePopupMenu();
    for (const Button* item : items) {
        if (item == nullptr) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT flags = MF_STRING | (item->Enabled ? MF_ENABLED : MF_GRAYED);
        AppendMenuW(menu, flags, static_cast<UINT_PTR>(ControlId(item->Name)), Wide(item->Caption).c_str());
    }
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, hwnd_, nullptr));
    DestroyMenu(menu);
    for (Button* item : items) {
        if (item != nullptr && chosen == ControlId(item->Name)) {
            item->Click();
            UserActed();
        }
    }
}

void MainWindow::DpiChanged(int dpi, const RECT& suggested) {
    ui_.SetDpi(dpi);
    for (auto& view : views_) view->ScaleChanged();
    status_->SetHeight(ui_(kStatusHeight));
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout();
    Refresh();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr || window->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wparam, lparam);
    return window->OnMessage(message, wparam, lparam);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_SIZE:
            if (nav_ != nullptr) Layout();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
            limits->ptMinTrackSize = {ui_(kMinWidth), ui_(kMinHeight)};
            return 0;
        }
        case WM_COMMAND: {
            // Escape, which the dialog key handling turns into IDCANCEL: the cancel button's click while a
            // save shows it.
            if (lparam == 0 && LOWORD(wparam) == IDCANCEL) {
                if (form_.Controls().SBCancel.Visible) {
                    form_.Controls().SBCancel.Click();
                    UserActed();
                }
                return 0;
            }
            ControlView* view = ui_.ViewOf(reinterpret_cast<HWND>(lparam));
            if (view != nullptr && view->Command(reinterpret_cast<HWND>(lparam), HIWORD(wparam))) UserActed();
            return 0;
        }
        case WM_NOTIFY: {
            auto& header = *reinterpret_cast<NMHDR*>(lparam);
            if (ToolTipText(header)) return 0;
            LRESULT result = 0;
            ControlView* view = ui_.ViewOf(header.hwndFrom);
            if (view != nullptr && view->Notify(header, result)) UserActed();
            return result;
        }
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            ControlView* view = ui_.ViewOf(item.hwndItem);
            return view != nullptr && view->DrawItem(item) ? TRUE : FALSE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: {
            auto widget = reinterpret_cast<HWND>(lparam);
            ControlView* view = ui_.ViewOf(widget);
            if (view != nullptr) {
                if (HBRUSH brush = view->CtlColor(widget, reinterpret_cast<HDC>(wparam))) {
                    return reinterpret_cast<LRESULT>(brush);
                }
            }
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        }
        case WM_SETCURSOR: {
            if (form_.Busy()) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            auto widget = reinterpret_cast<HWND>(wparam);
            ControlView* view = ui_.ViewOf(widget);
            if (view != nullptr && LOWORD(lparam) == HTCLIENT) {
                if (HCURSOR cursor = view->Cursor(widget)) {
                    SetCursor(cursor);
                    return TRUE;
                }
            }
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        }
        case WM_CLOSE:
            // Closing ends the program, after the close handler (and its auto-save) has let it. While a
            // handler runs, the close is made when it has ended.
            if (form_.UserClose()) host_.PostQuit();
            return 0;
        case WM_NEXTDLGCTL: {
            // The grid's editor hands Tab on: the focus goes to the widget after (or before) the grid. With
            // lparam set, wparam is the widget to focus (the system's way).
            HWND next = LOWORD(lparam) != 0 ? reinterpret_cast<HWND>(wparam)
                                            : GetNextDlgTabItem(hwnd_, GetFocus(), wparam != 0 ? TRUE : FALSE);
            if (next != nullptr) SetFocus(next);
            focus_seen_ = GetFocus();
            ShowHintFor(focus_seen_);
            return 0;
        }
        case WM_DPICHANGED:
            DpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_SYSCOLORCHANGE:
        case WM_SETTINGCHANGE:
            for (auto& view : views_) {
                for (HWND widget : view->Widgets()) SendMessageW(widget, message, wparam, lparam);
            }
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
            return 0;
        default:
            return DefWindowProcW(hwnd_, message, wparam, lparam);
    }
}

}  // namespace tarnwell::win32
