#include "gui_win32/main_window.h"

#include <stdexcept>

#include "gui_win32/control_id.h"
#include "gui_win32/win32_host.h"

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
    std::array<HWND, kPageCount> panels{};
    for (int i = 0; i < kPageCount; ++i)
        panels[static_cast<std::size_t>(i)] = pages_[static_cast<std::size_t>(i)]->Panel();
    views_.push_back(std::make_unique<PageControlView>(ui_, c.PC1, panels));
    auto status = std::make_unique<StatusBarView>(ui_, hwnd_, c.StatBar);
    status_ = status.get();
    views_.push_back(std::move(status));
    status_->SetHeight(ui_(kStatusHeight));
    AddToolTips();
    Layout();
    Refresh();
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
    const int nav = ui_(kNavWidth);
    const int pages_width = std::max(0, static_cast<int>(client.right) - nav);
    nav_->Place({pages_width, 0, client.right, height});
    for (auto& page : pages_) page->Place({0, 0, pages_width, height});
}

void MainWindow::Refresh() {
    Ui::RefreshScope quiet(ui_);
    for (auto& view : views_) view->Refresh();
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
    if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) ShowHintFor(message.hwnd);
    if (message.hwnd == nullptr || (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd))) return false;
    return IsDialogMessageW(hwnd_, &message) != FALSE;
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
