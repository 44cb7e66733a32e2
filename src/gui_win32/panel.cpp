#include "gui_win32/panel.h"

#include <windowsx.h>

#include <stdexcept>
#include <string>

namespace tarnwell::win32 {

namespace {

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        SetWindowLongPtrW(panel, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    if (auto* handler = reinterpret_cast<PanelHandler*>(GetWindowLongPtrW(panel, GWLP_USERDATA))) {
        LRESULT result = 0;
        if (handler->PanelMessage(panel, message, wparam, lparam, result)) return result;
    }
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_CONTEXTMENU:
            return SendMessageW(GetAncestor(panel, GA_ROOT), message, wparam, lparam);
        default:
            return DefWindowProcW(panel, message, wparam, lparam);
    }
}

}  // namespace

void RegisterWindowClasses(HINSTANCE instance, WNDPROC main_proc) {
    WNDCLASSEXW main{};
    main.cbSize = sizeof(main);
    main.style = CS_HREDRAW | CS_VREDRAW;
    main.lpfnWndProc = main_proc;
    main.hInstance = instance;
    main.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    main.lpszClassName = kMainClass;
    WNDCLASSEXW panel = main;
    panel.style = CS_DBLCLKS;
    panel.lpfnWndProc = PanelProc;
    panel.hIcon = nullptr;
    panel.hIconSm = nullptr;
    panel.lpszClassName = kPanelClass;
    WNDCLASSEXW known{};
    known.cbSize = sizeof(known);
    if (!GetClassInfoExW(instance, kMainClass, &known)) RegisterClassExW(&main);
    if (!GetClassInfoExW(instance, kPanelClass, &known)) RegisterClassExW(&panel);
}

HWND CreatePanel(Ui& ui, HWND parent, std::string_view name, PanelHandler* handler, DWORD style) {
    // The handler reaches the panel's procedure with its very first message. No WS_CLIPCHILDREN: a group
    // box does not paint its inside, the panel's background must be there.
    HWND panel = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", style | WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                                 ui.Instance(), handler);
    if (panel == nullptr) throw std::runtime_error("cannot create the window's panel " + std::string(name));
    SetWindowLongPtrW(panel, GWLP_ID, ui.Claim(name));
    return panel;
}

Splitter::Splitter(Ui& ui, HWND parent, std::string_view name, bool vertical, std::function<void(int)> moved)
    : vertical_(vertical), moved_(std::move(moved)) {
    hwnd_ = CreatePanel(ui, parent, name, this);
}

bool Splitter::PanelMessage(HWND panel, UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, vertical_ ? IDC_SIZEWE : IDC_SIZENS));
            result = TRUE;
            return true;
        case WM_LBUTTONDOWN:
            SetCapture(panel);
            GetCursorPos(&last_);
            return true;
        case WM_MOUSEMOVE: {
            if (GetCapture() != panel) return false;
            POINT now{};
            GetCursorPos(&now);
            const int delta = vertical_ ? now.x - last_.x : now.y - last_.y;
            last_ = now;
            if (delta != 0 && moved_) moved_(delta);
            return true;
        }
        case WM_LBUTTONUP:
            if (GetCapture() == panel) ReleaseCapture();
            return true;
        default:
            return false;
    }
}

}  // namespace tarnwell::win32
