#include "gui_win32/button_views.h"

#include <algorithm>

#include "form/accelerators.h"
#include "form/form_pages.h"

namespace tarnwell::win32 {

ButtonView::ButtonView(Ui& ui, HWND parent, Button& button) : ControlView(ui, button), button_(button) {
    Add(parent, L"BUTTON", name_, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, ShownCaption());
}

std::wstring ButtonView::ShownCaption() const {
    return Wide(AcceleratedCaption(button_, button_.Caption));
}

void ButtonView::Refresh() {
    RefreshState();
    SetWindowTextIfChanged(Hwnd(), ShownCaption());
}

bool ButtonView::Command(HWND widget, WORD code) {
    if (widget != Hwnd() || ui_.Refreshing()) return false;
    if (code != BN_CLICKED && code != STN_CLICKED) return false;
    button_.Click();
    return true;
}

LinkView::LinkView(Ui& ui, HWND parent, Button& link) : ButtonView(ui, link), black_(CreateSolidBrush(RGB(0, 0, 0))) {
    Add(parent, L"STATIC", name_, WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_LEFT, 0, Wide(link.Caption),
        FontKind::Link);
}

// Sky blue on the black of the picture.
HBRUSH LinkView::CtlColor(HWND, HDC dc) {
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(0x87, 0xCE, 0xEB));
    return black_.get();
}

NavButtonView::NavButtonView(Ui& ui, HWND parent, Button& button, NavPicture picture, const PageControl& pages)
    : ButtonView(ui, button), picture_(picture), pages_(pages) {
    Add(parent, L"BUTTON", name_, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0, ShownCaption());
}

bool NavButtonView::Active() const {
    const int index = pages_.ActivePageIndex();
    return index >= 0 && index < kPageCount && kPages[static_cast<std::size_t>(index)].Title == button_.Caption;
}

void NavButtonView::Refresh() {
    ButtonView::Refresh();
    if (Active() != shown_active_) InvalidateRect(Hwnd(), nullptr, TRUE);
}

int NavButtonView::LeastHeight() const {
    return ui_(4) + ui_(32) + ui_(4) + FontHeight(Hwnd()) + ui_(6);
}

int NavButtonView::CaptionNeed() const {
    return TextWidthIn(Hwnd(), WindowTextOf(Hwnd())) + ui_(10);
}

// Flat: the column's face, a frame while the button is pressed, has the focus or stands for the page
// shown; the picture and the caption centred in the height the button has.
bool NavButtonView::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem != Hwnd()) return false;
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    shown_active_ = Active();
    FillRect(dc, &rect, GetSysColorBrush(shown_active_ ? COLOR_WINDOW : COLOR_BTNFACE));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool enabled = (item.itemState & ODS_DISABLED) == 0;
    if (pressed || shown_active_) DrawEdge(dc, &rect, BDR_SUNKENOUTER, BF_RECT);
    const int picture = ui_(32);
    const int width = rect.right - rect.left;
    const int content = picture + ui_(4) + FontHeight(Hwnd());
    const int top = std::min(ui_(8), std::max(ui_(2), (static_cast<int>(rect.bottom - rect.top) - content) / 2));
    RECT square{rect.left + (width - picture) / 2, rect.top + top, 0, 0};
    square.right = square.left + picture;
    square.bottom = square.top + picture;
    if (pressed) OffsetRect(&square, 1, 1);
    DrawNavPicture(dc, square, picture_, enabled);
    RECT text = rect;
    text.top = square.bottom + ui_(4);
    if (pressed) OffsetRect(&text, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    HGDIOBJ old = SelectObject(dc, ui_.Font(FontKind::Dialog));
    // The accelerator's letter underlined, as the system draws a button's own caption.
    std::wstring caption = ShownCaption();
    const UINT prefix = (SendMessageW(Hwnd(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) != 0 ? DT_HIDEPREFIX : 0;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_TOP | DT_WORDBREAK | prefix);
    SelectObject(dc, old);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = rect;
        InflateRect(&focus, -ui_(3), -ui_(3));
        DrawFocusRect(dc, &focus);
    }
    return true;
}

}  // namespace tarnwell::win32
