#include "gui_win32/status_views.h"

#include <uxtheme.h>

#include <algorithm>

namespace tarnwell::win32 {

GaugeView::GaugeView(Ui& ui, HWND parent, Gauge& gauge) : ControlView(ui, gauge), gauge_(gauge) {
    // A bar shows no text: its text is its name for screen readers.
    HWND bar = Add(parent, PROGRESS_CLASSW, name_, PBS_SMOOTH, 0, Wide(gauge.AccessibleName));
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

StatusBarView::StatusBarView(Ui& ui, HWND parent, StatusBar& bar) : ControlView(ui, bar), bar_(bar) {
    HWND status = Add(parent, STATUSCLASSNAMEW, name_, WS_VISIBLE | SBARS_SIZEGRIP);
    SetWindowTheme(status, L"", L"");
    SendMessageW(status, SB_SETBKCOLOR, 0, Ui::kStripColor);
    PlaceParts();
}

void StatusBarView::SetHeight(int pixels) {
    SendMessageW(Hwnd(), SB_SETMINHEIGHT, static_cast<WPARAM>(pixels), 0);
    SendMessageW(Hwnd(), WM_SIZE, 0, 0);
}

void StatusBarView::PlaceParts() {
    HWND status = Hwnd();
    RECT client{};
    GetClientRect(status, &client);
    // The text, the part's border and the size grip beside it.
    const int wanted = outcome_shown_.empty() ? 0 : TextWidthIn(status, outcome_shown_) + ui_(12) + ui_(16);
    const int outcome = std::min(wanted, static_cast<int>(client.right) * 2 / 3);
    int parts[] = {std::max(0, static_cast<int>(client.right) - outcome), -1};
    SendMessageW(status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

void StatusBarView::SetPartText(HWND bar, int part, const std::wstring& text, WPARAM style) {
    wchar_t shown[512] = L"";
    const LRESULT length = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
    if (LOWORD(length) < std::size(shown)) {
        SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(shown));
    }
    if (text != shown) {
        SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(part) | style, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void StatusBarView::Refresh() {
    RefreshState();
    const std::wstring outcome = Wide(bar_.Outcome);
    if (outcome != outcome_shown_) {
        outcome_shown_ = outcome;
        PlaceParts();
    }
    SetPartText(Hwnd(), 0, Wide(bar_.Text), SBT_NOBORDERS);
    // The outcome in a sunken frame of its own, apart from the hints.
    SetPartText(Hwnd(), 1, outcome, 0);
}

}  // namespace tarnwell::win32
