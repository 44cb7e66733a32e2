#include "gui_win32/desktop_check.h"

namespace tarnwell::win32 {

bool HasDesktop(HINSTANCE instance) {
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    HWINSTA station = GetProcessWindowStation();
    if (station == nullptr || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), &needed) ||
        (flags.dwFlags & WSF_VISIBLE) == 0) {
        return false;
    }
    // A window station that claims to be visible may still have no screen behind it (a session without a
    // display driver): a window that cannot be made says so.
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    if (probe == nullptr) return false;
    DestroyWindow(probe);
    return true;
}

}  // namespace tarnwell::win32
