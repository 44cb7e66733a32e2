#include "gui_win32/window_memory.h"

#include <exception>

#include "settings/window_state.h"

namespace tarnwell::win32 {

bool RestoreWindowState(HWND window, const std::string& folder) {
    const WindowState state = ReadWindowState(folder);
    if (state.geometry) {
        const WindowRect scaled = ScaleRect(*state.geometry, state.dpi, DpiOfWindow(window));
        RECT wanted{scaled.left, scaled.top, scaled.left + scaled.width, scaled.top + scaled.height};
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        const WindowRect kept =
            KeepOnScreen(scaled, {work.left, work.top, work.right - work.left, work.bottom - work.top});
        SetWindowPos(window, nullptr, kept.left, kept.top, kept.width, kept.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return state.maximized;
}

void KeepWindowState(HWND window, const std::string& folder) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return;
    const RECT& normal = placement.rcNormalPosition;
    WindowState state;
    state.geometry = WindowRect{normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top};
    state.dpi = DpiOfWindow(window);
    state.maximized = placement.showCmd == SW_SHOWMAXIMIZED || IsZoomed(window);
    try {
        SaveWindowState(state, folder);
    } catch (const std::exception&) {
        // Only the window's memory is lost.
    }
}

}  // namespace tarnwell::win32
