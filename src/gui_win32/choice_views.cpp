#include "gui_win32/choice_views.h"

#include "form/accelerators.h"
#include "form/widget_names.h"

#include <algorithm>

namespace tarnwell::win32 {

namespace {

// State image indexes of the list: 1 unchecked, 2 checked (the list's own), 3 grayed (added).
int StateImage(CheckBoxState state) {
    switch (state) {
        case cbUnchecked:
            return 1;
        case cbChecked:
            return 2;
        case cbGrayed:
            return 3;
    }
    return 1;
}

}  // namespace

CheckListView::CheckListView(Ui& ui, HWND parent, CheckListBox& list) : ControlView(ui, list), list_(list) {
    // The list shows no text of its own: its text is its name for screen readers, its strip's caption.
    HWND view = Add(parent, WC_LISTVIEWW, name_,
                    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                    WS_EX_CLIENTEDGE, Wide(list.Label.empty() ? list.AccessibleName : list.Label));
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = ui_(100);
    SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    Ui::RefreshScope quiet(ui_);
    for (int i = 0; i < list.Count(); ++i) {
        std::wstring text = Wide(list.Items()[static_cast<std::size_t>(i)]);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = text.data();
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    AddGrayedBox();
}

// The list has boxes for unchecked and checked only; the grayed one is drawn like them, inactive.
void CheckListView::AddGrayedBox() {
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Hwnd(), LVM_GETIMAGELIST, LVSIL_STATE, 0));
    int width = 0;
    int height = 0;
    if (images == nullptr || !ImageList_GetIconSize(images, &width, &height) || ImageList_GetImageCount(images) > 2) {
        return;
    }
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen, width, height));
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    RECT all{0, 0, width, height};
    FillRect(dc, &all, GetSysColorBrush(COLOR_WINDOW));
    RECT box{1, 1, width - 1, height - 1};
    DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE | DFCS_FLAT);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ImageList_Add(images, bitmap.get(), nullptr);
}

void CheckListView::Place(const RECT& rect) {
    MoveWindow(Hwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    RECT client{};
    GetClientRect(Hwnd(), &client);
    SendMessageW(Hwnd(), LVM_SETCOLUMNWIDTH, 0, client.right);
}

RECT CheckListView::BelowItems() const {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    RECT last{};
    last.left = LVIR_BOUNDS;
    const int count = list_.Count();
    if (count > 0 &&
        SendMessageW(Hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&last))) {
        client.top = std::min<LONG>(last.bottom, client.bottom);
    }
    return client;
}

int CheckListView::ItemHeight() const {
    RECT item{};
    item.left = LVIR_BOUNDS;
    if (list_.Count() > 0 && SendMessageW(Hwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item))) {
        return item.bottom - item.top;
    }
    return ui_(17);
}

int CheckListView::NeededWidth(bool scrolls) const {
    int widest = 0;
    for (const std::string& text : list_.Items()) {
        const std::wstring wide = Wide(text);
        widest = std::max(widest, static_cast<int>(SendMessageW(Hwnd(), LVM_GETSTRINGWIDTHW, 0,
                                                                reinterpret_cast<LPARAM>(wide.c_str()))));
    }
    int box = ui_(16);
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(Hwnd(), LVM_GETIMAGELIST, LVSIL_STATE, 0));
    int image_width = 0;
    int image_height = 0;
    if (images != nullptr && ImageList_GetIconSize(images, &image_width, &image_height)) box = image_width;
    // The list's own margins around the box and after the text, and its sunken edge on both sides.
    const int edges = 2 * GetSystemMetrics(SM_CXEDGE) + (scrolls ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    int lead = box + ui_(14) - ui_(2);
    // Where the list itself starts an item's text, when it can tell: its margins grow with the dpi in
    // steps of their own.
    RECT label{};
    label.left = LVIR_LABEL;
    if (list_.Count() > 0 && SendMessageW(Hwnd(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&label))) {
        lead = std::max(lead, static_cast<int>(label.left) + ui_(2));
    }
    return widest + lead + ui_(2) + edges;
}

int CheckListView::NeededHeight(int items) const {
    return items * ItemHeight() + 2 * GetSystemMetrics(SM_CYEDGE) + ui_(2);
}

// The list keeps an item with the keyboard's focus whenever it has any, so that Space toggles it and the
// focus shows from the first key on; the user's arrow moves it as before.
void CheckListView::KeepFocusedItem() {
    if (list_.Count() == 0) return;
    if (SendMessageW(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) >= 0) return;
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(Hwnd(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

void CheckListView::Refresh() {
    RefreshState();
    for (int i = 0; i < list_.Count(); ++i) {
        const UINT want = INDEXTOSTATEIMAGEMASK(StateImage(list_.State(i)));
        const auto shown =
            static_cast<UINT>(SendMessageW(Hwnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK));
        if (shown == want) continue;
        LVITEMW item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = want;
        SendMessageW(Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

// The list flips its own box on a click or Space; the control decides the new state (a grayed item
// becomes checked) and the refresh that follows shows it.
bool CheckListView::Notify(NMHDR& header, LRESULT&) {
    if (header.hwndFrom != Hwnd()) return false;
    if (header.code == NM_SETFOCUS) {
        Ui::RefreshScope quiet(ui_);
        KeepFocusedItem();
        // The focus shows at once, not only after the first key.
        SendMessageW(Hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        return false;
    }
    if (header.code != LVN_ITEMCHANGED || ui_.Refreshing()) return false;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if ((change.uChanged & LVIF_STATE) == 0 || ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0) {
        return false;
    }
    if (change.iItem < 0 || change.iItem >= list_.Count() || (change.uOldState & LVIS_STATEIMAGEMASK) == 0)
        return false;
    list_.UserToggle(change.iItem);
    return true;
}

CheckBoxView::CheckBoxView(Ui& ui, HWND parent, CheckBox& box) : ControlView(ui, box), box_(box) {
    Add(parent, L"BUTTON", name_, WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX, 0, Wide(AcceleratedCaption(box, box.Caption)));
}

void CheckBoxView::Refresh() {
    RefreshState();
    const WPARAM state = box_.Checked ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(SendMessageW(Hwnd(), BM_GETCHECK, 0, 0)) != state) SendMessageW(Hwnd(), BM_SETCHECK, state, 0);
}

// The box is no automatic one: the control flips, and the window shows what it holds.
bool CheckBoxView::Command(HWND widget, WORD code) {
    if (widget != Hwnd() || code != BN_CLICKED || ui_.Refreshing()) return false;
    box_.UserToggle();
    return true;
}

RadioGroupView::RadioGroupView(Ui& ui, HWND parent, RadioGroup& group) : ControlView(ui, group), group_(group) {
    // Alt and the frame's letter take the focus to the group's first button.
    frame_ = Add(parent, L"BUTTON", name_, WS_VISIBLE | BS_GROUPBOX, 0, Wide(AcceleratedCaption(group, group.Caption)));
    for (std::size_t i = 0; i < group.Items().size(); ++i) {
        DWORD style = WS_VISIBLE | BS_RADIOBUTTON | (i == 0 ? WS_TABSTOP | WS_GROUP : 0);
        buttons_.push_back(
            Add(parent, L"BUTTON", ItemName(group, static_cast<int>(i)), style, 0, Wide(group.Items()[i])));
    }
}

void RadioGroupView::Place(const RECT& rect) {
    MoveWindow(frame_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    const int columns = std::max(1, group_.Columns);
    const int count = static_cast<int>(buttons_.size());
    const int rows = (count + columns - 1) / columns;
    const int top = rect.top + (group_.Caption.empty() ? ui_(6) : std::max(ui_(16), FontHeight(frame_) + ui_(2)));
    const int left = rect.left + ui_(8);
    const int width = (rect.right - rect.left - ui_(12)) / columns;
    const int height = rows > 0 ? std::min(RowHeight(), static_cast<int>(rect.bottom - ui_(4) - top) / rows) : 0;
    for (int i = 0; i < count; ++i) {
        // Items fill the first column top to bottom, then the next, as a radio group places them.
        const int column = i / rows;
        const int row = i % rows;
        MoveWindow(buttons_[static_cast<std::size_t>(i)], left + column * width, top + row * height, width - ui_(4),
                   height, TRUE);
    }
}

int RadioGroupView::RowHeight() const {
    return std::max(ui_(20), FontHeight(Hwnd()) + ui_(4));
}

SIZE RadioGroupView::Needed() const {
    const int columns = std::max(1, group_.Columns);
    const int count = static_cast<int>(buttons_.size());
    const int rows = (count + columns - 1) / columns;
    int widest = 0;
    for (HWND button : buttons_) widest = std::max(widest, TextWidthIn(button, WindowTextOf(button)));
    // A radio button draws its circle, a gap, then its text.
    const int item = widest + GetSystemMetrics(SM_CXMENUCHECK) + ui_(10);
    const int caption = group_.Caption.empty() ? 0 : TextWidthIn(frame_, WindowTextOf(frame_)) + ui_(20);
    const int top = group_.Caption.empty() ? ui_(6) : std::max(ui_(16), FontHeight(frame_) + ui_(2));
    return {std::max(columns * item + ui_(12), caption), top + rows * RowHeight() + ui_(4)};
}

void RadioGroupView::Refresh() {
    RefreshState();
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const WPARAM want = static_cast<int>(i) == group_.ItemIndex() ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(buttons_[i], BM_GETCHECK, 0, 0)) != want) {
            SendMessageW(buttons_[i], BM_SETCHECK, want, 0);
        }
    }
}

bool RadioGroupView::Command(HWND widget, WORD code) {
    if (ui_.Refreshing() || code != BN_CLICKED) return false;
    auto it = std::find(buttons_.begin(), buttons_.end(), widget);
    if (it == buttons_.end()) return false;
    group_.UserSelect(static_cast<int>(it - buttons_.begin()));
    return true;
}

}  // namespace tarnwell::win32
