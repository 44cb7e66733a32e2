#include "gui_win32/control_id.h"

#include <cstdint>

namespace tarnwell::win32 {

// FNV-1a over the name, folded into 0x1000 to 0x7FFF: clear of IDOK and the other dialog IDs, and of the
// menu commands of the system menu.
int ControlId(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return 0x1000 + static_cast<int>(hash % 0x7000u);
}

namespace {

struct Search {
    int id;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (GetDlgCtrlID(window) != search->id) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindControl(HWND root, std::string_view name) {
    Search search{ControlId(name), nullptr};
    EnumChildWindows(root, Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace tarnwell::win32
