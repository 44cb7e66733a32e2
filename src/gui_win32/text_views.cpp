#include "gui_win32/text_views.h"

#include <algorithm>
#include <climits>
#include <string>

#include "form/accelerators.h"
#include "form/widget_names.h"
#include "text/int_text.h"

namespace tarnwell::win32 {

namespace {

// An edit too narrow for its text shows the text's start: the caret to the front, the view scrolled there.
void ShowStart(HWND edit) {
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

}  // namespace

StripView::StripView(Ui& ui, HWND parent, std::string name, std::string_view caption)
    : ControlView(ui, std::move(name), nullptr) {
    // A blank before the caption keeps it off the bevel.
    Add(parent, L"STATIC", name_, WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, WS_EX_STATICEDGE,
        L" " + Wide(caption));
}

StripView::StripView(Ui& ui, HWND parent, const Control& labelled, std::string_view caption)
    : ControlView(ui, LabelName(labelled), nullptr) {
    Add(parent, L"STATIC", name_, WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, WS_EX_STATICEDGE,
        L" " + Wide(AcceleratedCaption(labelled, caption)));
}

HBRUSH StripView::CtlColor(HWND, HDC dc) {
    SetBkColor(dc, Ui::kStripColor);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return ui_.StripBrush();
}

EditView::EditView(Ui& ui, HWND parent, Edit& edit, bool border) : ControlView(ui, edit), edit_(edit) {
    const DWORD password = edit.PasswordChar != 0 ? ES_PASSWORD : 0;
    AddHiddenLabel(parent);
    Add(parent, L"EDIT", name_, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | password, border ? WS_EX_CLIENTEDGE : 0,
        Wide(edit.Text));
    if (password) SendMessageW(Hwnd(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(edit.PasswordChar), 0);
}

void EditView::Refresh() {
    RefreshState();
    const std::wstring text = Wide(edit_.Text);
    if (text == WindowTextOf(Hwnd())) return;
    SetWindowTextIfChanged(Hwnd(), text);
    if (GetFocus() != Hwnd()) ShowStart(Hwnd());
}

bool EditView::Accept() {
    if (!edit_.OnAccept || !edit_.Enabled) return false;
    edit_.UserAccept();
    return true;
}

bool EditView::Command(HWND widget, WORD code) {
    // Leaving the edit shows the start of its text again, not the end where the caret was.
    if (widget == Hwnd() && code == EN_KILLFOCUS) {
        ShowStart(widget);
        return false;
    }
    if (widget != Hwnd() || code != EN_CHANGE || ui_.Refreshing()) return false;
    edit_.UserSetText(Narrow(WindowTextOf(widget)));
    return true;
}

// A read-only or disabled edit is drawn on the button face by default; the borderless one inside its list
// stays white like the list.
HBRUSH EditView::CtlColor(HWND, HDC dc) {
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(IsWindowEnabled(Hwnd()) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    return GetSysColorBrush(COLOR_WINDOW);
}

SpinEditView::SpinEditView(Ui& ui, HWND parent, SpinEdit& spin) : ControlView(ui, spin), spin_(spin) {
    AddHiddenLabel(parent);
    edit_ = Add(parent, L"EDIT", name_, WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, Wide(spin.Text()));
    arrows_ = Add(parent, UPDOWN_CLASSW, PartName(spin, kArrowsPart), WS_VISIBLE | UDS_ARROWKEYS | UDS_NOTHOUSANDS);
    // The arrows only report their clicks; the value is the edit's text. A range with "up" above "down".
    SendMessageW(arrows_, UDM_SETRANGE32, 0, 100);
    SendMessageW(arrows_, UDM_SETPOS32, 0, 50);
}

void SpinEditView::Place(const RECT& rect) {
    const int arrows = ui_(16);
    MoveWindow(edit_, rect.left, rect.top, rect.right - rect.left - arrows, rect.bottom - rect.top, TRUE);
    MoveWindow(arrows_, rect.right - arrows, rect.top, arrows, rect.bottom - rect.top, TRUE);
}

void SpinEditView::Refresh() {
    RefreshState();
    SetWindowTextIfChanged(edit_, Wide(spin_.Text()));
}

bool SpinEditView::Command(HWND widget, WORD code) {
    if (widget != edit_ || code != EN_CHANGE || ui_.Refreshing()) return false;
    spin_.UserSetText(Narrow(WindowTextOf(widget)));
    return true;
}

bool SpinEditView::Notify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != arrows_ || header.code != UDN_DELTAPOS) return false;
    const auto& delta = reinterpret_cast<const NMUPDOWN&>(header);
    result = 1;  // the arrows keep their own position
    if (ui_.Refreshing() || delta.iDelta == 0) return false;
    const std::int64_t value = static_cast<std::int64_t>(spin_.Value()) + (delta.iDelta > 0 ? 1 : -1);
    if (value < INT_MIN || value > INT_MAX) return false;
    spin_.UserSetText(IntToStr(static_cast<std::int32_t>(value)));
    return true;
}

MemoView::MemoView(Ui& ui, HWND parent, Memo& memo)
    : ControlView(ui, memo), memo_(memo), black_(CreateSolidBrush(RGB(0, 0, 0))) {
    AddHiddenLabel(parent);
    Add(parent, L"EDIT", name_, WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_CENTER | ES_AUTOHSCROLL);
}

void MemoView::Refresh() {
    RefreshState();
    std::wstring text;
    for (std::size_t i = 0; i < memo_.Lines.size(); ++i) {
        if (i > 0) text += L"\r\n";
        text += Wide(memo_.Lines[i]);
    }
    SetWindowTextIfChanged(Hwnd(), text);
}

void MemoView::Place(const RECT& rect) {
    HWND memo = Hwnd();
    MoveWindow(memo, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    RECT client{};
    SendMessageW(memo, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&client));
    const int room = client.right - client.left - ui_(2);
    // The memo's lines were laid out for MS Sans Serif, 8 points.
    LOGFONTW face{};
    GetObjectW(ui_.Font(FontKind::Dialog), sizeof(face), &face);
    face.lfHeight = -MulDiv(8, ui_.S().Dpi(), 72);
    wcscpy(face.lfFaceName, L"MS Sans Serif");
    HDC dc = GetDC(memo);
    for (int step = 0; step < 4; ++step) {
        GdiObject<HFONT> font(CreateFontIndirectW(&face));
        HGDIOBJ old = SelectObject(dc, font.get());
        int widest = 0;
        for (const std::string& line : memo_.Lines) {
            const std::wstring text = Wide(line);
            SIZE size{};
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        SelectObject(dc, old);
        if (widest <= room || step == 3) {
            fitted_.Reset(CreateFontIndirectW(&face));
            break;
        }
        face.lfHeight = face.lfHeight < 0 ? face.lfHeight + 1 : face.lfHeight - 1;
    }
    ReleaseDC(memo, dc);
    SendMessageW(memo, WM_SETFONT, reinterpret_cast<WPARAM>(fitted_.get()), TRUE);
}

HBRUSH MemoView::CtlColor(HWND, HDC dc) {
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(0, 255, 0));
    return black_.get();
}

}  // namespace tarnwell::win32
