#include "gui_win32/status_views.h"

#include <uxtheme.h>

namespace tarnwell::win32 {

GaugeView::GaugeView(Ui& ui, HWND parent, std::string name, Gauge& gauge)
    : ControlView(ui, std::move(name), &gauge), gauge_(gauge) {
    HWND bar = Add(parent, PROGRESS_CLASSW, name_, PBS_SMOOTH);
    // Visual styles draw their own bar colour; without them the designed one shows.
    SetWindowTheme(bar, L"", L"");
    SendMessageW(bar, PBM_SETBARCOLOR, 0, RGB(0, 128, 255));
}

void GaugeView::Refresh() {
    RefreshState();
    HWND bar = Hwnd();
    PBRANGE range{};
    SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    if (range.iLow != gauge_.Min() || range.iHigh != gauge_.Max()) {
        SendMessageW(bar, PBM_SETRANGE32, static_cast<WPARAM>(gauge_.Min()), gauge_.Max());
    }
    if (static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)) != gauge_.Position()) {
        SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(gauge_.Position()), 0);
    }
}

void GaugeCancelView::Refresh() {
    const bool was_shown = Shown();
    ButtonView::Refresh();
    if (Shown() != was_shown && shown_or_hidden_) shown_or_hidden_();
}

StatusBarView::StatusBarView(Ui& ui, HWND parent, std::string name, StatusBar& bar)
    : ControlView(ui, std::move(name), &bar), bar_(bar) {
    HWND status = Add(parent, STATUSCLASSNAMEW, name_, WS_VISIBLE | SBARS_SIZEGRIP);
    SetWindowTheme(status, L"", L"");
    SendMessageW(status, SB_SETBKCOLOR, 0, Ui::kStripColor);
    int parts[] = {-1};  // one text area over the whole width
    SendMessageW(status, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
}

void StatusBarView::SetHeight(int pixels) {
    SendMessageW(Hwnd(), SB_SETMINHEIGHT, static_cast<WPARAM>(pixels), 0);
    SendMessageW(Hwnd(), WM_SIZE, 0, 0);
}

void StatusBarView::Refresh() {
    RefreshState();
    const std::wstring text = Wide(bar_.Text);
    wchar_t shown[512] = L"";
    const LRESULT length = SendMessageW(Hwnd(), SB_GETTEXTLENGTHW, 0, 0);
    if (LOWORD(length) < std::size(shown)) SendMessageW(Hwnd(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    if (text != shown) SendMessageW(Hwnd(), SB_SETTEXTW, SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace tarnwell::win32
