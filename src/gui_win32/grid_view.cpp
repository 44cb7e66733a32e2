#include "gui_win32/grid_view.h"

#include <windowsx.h>

#include <algorithm>

#include "form/widget_names.h"
#include "grid/row_bands.h"

namespace tarnwell::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 1;
// A cell shows at most this much of its text; no column is wide enough for more.
constexpr std::size_t kMaxDrawnChars = 4096;

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

bool IsCode(UINT code, UINT wide, UINT ansi) {
    return code == wide || code == ansi;
}

}  // namespace

GridView::GridView(Ui& ui, HWND parent, GridControl& grid, const ColorScheme& colors, bool has_menu)
    : ControlView(ui, grid), grid_(grid), colors_(colors), has_menu_(has_menu) {
    HWND list = Add(parent, WC_LISTVIEWW, name_,
                    WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED | LVS_SINGLESEL |
                        LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                    // The list shows no text of its own: its text is the table's name for screen readers.
                    WS_EX_CLIENTEDGE, Wide(grid.AccessibleName), FontKind::Grid);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
    header_ = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    // The rows are as high as the grid's default row height: the list takes the height of its small
    // images when that is more than its font's.
    row_height_ = ImageList_Create(1, ui_(grid.DefaultRowHeight), ILC_COLOR, 0, 1);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(row_height_));
    editor_ =
        ui_.Create(list, L"EDIT", PartName(grid, kEditorPart), ES_AUTOHSCROLL | WS_BORDER, 0, {}, this, FontKind::Grid);
    SetWindowSubclass(list, ListProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetWindowSubclass(editor_, EditorProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    if (header_ != nullptr) SetWindowSubclass(header_, HeaderProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    active_row_ = grid.FixedRows();
    active_col_ = grid.FixedCols();
}

GridView::~GridView() {
    if (IsWindow(editor_)) RemoveWindowSubclass(editor_, EditorProc, kSubclassId);
    if (IsWindow(header_)) RemoveWindowSubclass(header_, HeaderProc, kSubclassId);
    if (IsWindow(Hwnd())) {
        RemoveWindowSubclass(Hwnd(), ListProc, kSubclassId);
        SendMessageW(Hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    }
    if (row_height_ != nullptr) ImageList_Destroy(row_height_);
}

void GridView::ScaleChanged() {
    HIMAGELIST old = row_height_;
    row_height_ = ImageList_Create(1, ui_(grid_.DefaultRowHeight), ILC_COLOR, 0, 1);
    SendMessageW(Hwnd(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(row_height_));
    if (old != nullptr) ImageList_Destroy(old);
    shown_revision_ = ~std::uint64_t{0};  // the column widths are scaled again
}

void GridView::Refresh() {
    RefreshState();
    if (grid_.ViewRevision() != shown_view_revision_) {
        shown_view_revision_ = grid_.ViewRevision();
        shown_revision_ = ~std::uint64_t{0};  // the rows shown may have changed with the filter
        Refresh();
        FollowGridView();
        return;
    }
    if (grid_.Revision() == shown_revision_) return;
    if (editing_) EndEdit(false);
    shown_revision_ = grid_.Revision();
    HWND list = Hwnd();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);

    // The header row shows when the grid has a fixed row.
    const LONG style = GetWindowLongW(list, GWL_STYLE);
    const LONG want = HeaderRows() > 0 ? (style & ~LVS_NOCOLUMNHEADER) : (style | LVS_NOCOLUMNHEADER);
    if (want != style) SetWindowLongW(list, GWL_STYLE, want);

    const int columns = grid_.ColCount();
    int shown = static_cast<int>(SendMessageW(header_, HDM_GETITEMCOUNT, 0, 0));
    for (; shown < columns; ++shown) {
        LVCOLUMNW column{};
        column.mask = LVCF_WIDTH;
        column.cx = ui_(grid_.ColWidths(shown));
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(shown), reinterpret_cast<LPARAM>(&column));
    }
    for (; shown > columns; --shown) SendMessageW(list, LVM_DELETECOLUMN, static_cast<WPARAM>(shown - 1), 0);
    for (int d = 0; d < columns; ++d) {
        if (ui_.S().Designed(ColumnWidth(list, d)) != grid_.ColWidths(d)) {
            SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(d), ui_(grid_.ColWidths(d)));
        }
        SetHeaderItem(d);
    }
    // Changed cells may belong elsewhere in the order shown.
    ApplySort();
    const int items = ItemCount();
    if (static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) != items) {
        SendMessageW(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(items), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    }
    ClampActiveCell();
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, FALSE);
    InvalidateRect(header_, nullptr, FALSE);
}

void GridView::SetHeaderItem(int display_col) {
    // The header draws itself; its texts and sort marks are there for screen readers.
    std::wstring caption =
        HeaderRows() > 0 ? Wide(grid_.GetCellEx(grid_.RealColIndex(display_col), 0)) : std::wstring();
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_TEXT;
    item.fmt = HDF_OWNERDRAW | HDF_LEFT;
    if (sort_col_ >= 0 && grid_.RealColIndex(display_col) == sort_col_) {
        item.fmt |= sort_order_ == SortOrder::kAscending ? HDF_SORTUP : HDF_SORTDOWN;
    }
    item.pszText = caption.data();
    SendMessageW(header_, HDM_SETITEMW, static_cast<WPARAM>(display_col), reinterpret_cast<LPARAM>(&item));
}

int GridView::ItemCount() const {
    return mapped_ ? static_cast<int>(row_of_item_.size()) : std::max(0, grid_.RowCount() - HeaderRows());
}

int GridView::RowOfItem(int item) const {
    if (mapped_ && item >= static_cast<int>(row_of_item_.size())) return -1;
    if (item >= 0 && item < static_cast<int>(row_of_item_.size())) return row_of_item_[static_cast<std::size_t>(item)];
    return item + HeaderRows();
}

int GridView::ItemOfRow(int row) const {
    if (mapped_) {
        return row >= 0 && row < static_cast<int>(item_of_row_.size()) ? item_of_row_[static_cast<std::size_t>(row)]
                                                                      : -1;
    }
    if (row >= 0 && row < static_cast<int>(item_of_row_.size())) return item_of_row_[static_cast<std::size_t>(row)];
    return row - HeaderRows();
}

// A click on a column header: sorted upwards by it, or the other way when it is sorted by it already.
void GridView::SortBy(int display_col) {
    if (!row_sort_ || display_col < 0 || display_col >= grid_.ColCount()) return;
    EndEdit(true);
    const int real = grid_.RealColIndex(display_col);
    sort_order_ =
        real == sort_col_ && sort_order_ == SortOrder::kAscending ? SortOrder::kDescending : SortOrder::kAscending;
    sort_col_ = real;
    ApplySort();
    for (int d = 0; d < grid_.ColCount(); ++d) SetHeaderItem(d);
    InvalidateRect(Hwnd(), nullptr, FALSE);
    InvalidateRect(header_, nullptr, FALSE);
    // The list's focus and selection follow the active cell to its item, where it is one.
    const int item = ItemOfRow(active_row_);
    if (item >= 0) {
        LVITEMW state{};
        state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
        state.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageW(Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
    }
}

// The items show the grid's rows sorted, or the filter's rows, or (neither) the grid's rows in order.
void GridView::ApplySort() {
    row_of_item_.clear();
    item_of_row_.clear();
    const RowFilter* filter = grid_.Filter();
    mapped_ = (sort_col_ >= 0 && row_sort_) || filter != nullptr;
    if (!mapped_) return;
    if (sort_col_ >= 0 && row_sort_) {
        // Fixed rows under the header keep their places above the sorted ones.
        for (int row = HeaderRows(); row < std::min(grid_.FixedRows(), grid_.RowCount()); ++row)
            row_of_item_.push_back(row);
        const std::vector<int> sorted = row_sort_(grid_, sort_col_, sort_order_);
        row_of_item_.insert(row_of_item_.end(), sorted.begin(), sorted.end());
    } else {
        // The filter lists the header row first; the list's header shows it.
        for (int shown = HeaderRows(); shown < filter->Count(); ++shown) row_of_item_.push_back(filter->RealRow(shown));
    }
    item_of_row_.assign(static_cast<std::size_t>(std::max(0, grid_.RowCount())), -1);
    for (std::size_t item = 0; item < row_of_item_.size(); ++item) {
        const int row = row_of_item_[item];
        if (row >= 0 && row < static_cast<int>(item_of_row_.size())) {
            item_of_row_[static_cast<std::size_t>(row)] = static_cast<int>(item);
        }
    }
}

void GridView::ClampActiveCell() {
    const int first_row = std::min(grid_.FixedRows(), grid_.RowCount() - 1);
    active_row_ = std::clamp(active_row_, first_row, std::max(first_row, grid_.RowCount() - 1));
    active_col_ = std::clamp(active_col_, 0, std::max(0, grid_.ColCount() - 1));
}

bool GridView::Notify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != Hwnd()) return false;
    if (header.code == LVN_GETDISPINFOW) {
        // Screen readers and the list's own tips read the texts through here.
        auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
        if ((info.item.mask & LVIF_TEXT) != 0 && info.item.pszText != nullptr && info.item.cchTextMax > 0) {
            const int row = RowOfItem(info.item.iItem);
            const int display = info.item.iSubItem;
            std::wstring text;
            if (row >= 0 && display >= 0 && display < grid_.ColCount()) {
                text = Wide(grid_.GetCellEx(grid_.RealColIndex(display), row).substr(0, kMaxDrawnChars));
            }
            const std::size_t length = std::min(text.size(), static_cast<std::size_t>(info.item.cchTextMax - 1));
            std::copy_n(text.data(), length, info.item.pszText);
            info.item.pszText[length] = L'\0';
        }
        result = 0;
        return false;
    }
    if (header.code == LVN_ODFINDITEMW) {
        result = -1;
        return false;
    }
    if (header.code == LVN_COLUMNCLICK) {
        SortBy(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        result = 0;
        return false;
    }
    return false;
}

bool GridView::CellRect(int display_col, int row, RECT& rect) const {
    const int item = ItemOfRow(row);
    if (item < 0 || display_col < 0 || display_col >= grid_.ColCount()) return false;
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (!SendMessageW(Hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&bounds))) {
        return false;
    }
    int x = bounds.left + (display_col < grid_.FixedCols() ? ScrollX() : 0);
    for (int d = 0; d < display_col; ++d) x += ColumnWidth(Hwnd(), d);
    rect = {x, bounds.top, x + ColumnWidth(Hwnd(), display_col), bounds.bottom};
    return true;
}

bool GridView::HitCell(POINT client, int& display_col, int& row) const {
    LVHITTESTINFO hit{};
    hit.pt = client;
    if (SendMessageW(Hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) < 0 || hit.iItem < 0) return false;
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    SendMessageW(Hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(hit.iItem), reinterpret_cast<LPARAM>(&bounds));
    // The fixed columns, drawn over the others at their unscrolled place, take the click first.
    const int fixed = std::min(grid_.FixedCols(), grid_.ColCount());
    int x = bounds.left + ScrollX();
    for (int d = 0; d < fixed; ++d) {
        const int width = ColumnWidth(Hwnd(), d);
        if (client.x >= x && client.x < x + width) {
            display_col = d;
            row = RowOfItem(hit.iItem);
            return true;
        }
        x += width;
    }
    x = bounds.left;
    for (int d = 0; d < grid_.ColCount(); ++d) {
        const int width = ColumnWidth(Hwnd(), d);
        if (client.x >= x && client.x < x + width) {
            display_col = d;
            row = RowOfItem(hit.iItem);
            return true;
        }
        x += width;
    }
    return false;
}

void GridView::InvalidateRow(int row) {
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    const int item = ItemOfRow(row);
    if (item >= 0 &&
        SendMessageW(Hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&bounds))) {
        InvalidateRect(Hwnd(), &bounds, FALSE);
    }
}

void GridView::SelectCell(int display_col, int row, bool extend) {
    if (grid_.ColCount() <= 0 || row < HeaderRows() || row >= grid_.RowCount()) return;
    const int item = ItemOfRow(row);
    if (item < 0) return;
    const bool had_block = anchor_row_ >= 0 && (anchor_row_ != active_row_ || anchor_col_ != active_col_);
    if (!extend) {
        anchor_row_ = -1;
        anchor_col_ = -1;
    } else if (anchor_row_ < 0) {
        anchor_row_ = active_row_;
        anchor_col_ = active_col_;
    }
    InvalidateRow(active_row_);
    active_row_ = row;
    active_col_ = std::clamp(display_col, 0, grid_.ColCount() - 1);
    if (had_block || extend) InvalidateRect(Hwnd(), nullptr, FALSE);
    TellSelection();
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(Hwnd(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
    SendMessageW(Hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
    // Bring the column into view as well.
    RECT cell{};
    RECT client{};
    GetClientRect(Hwnd(), &client);
    if (CellRect(active_col_, row, cell)) {
        int dx = 0;
        // A cell right of the fixed columns comes out from under them.
        const int left_edge = active_col_ >= grid_.FixedCols() ? FixedWidth() : 0;
        if (cell.right > client.right) dx = cell.right - client.right;
        if (cell.left - dx < left_edge) dx = cell.left - left_edge;
        if (dx != 0) SendMessageW(Hwnd(), LVM_SCROLL, static_cast<WPARAM>(dx), 0);
    }
    InvalidateRow(active_row_);
    InvalidateRect(header_, nullptr, FALSE);
}

// The grid numbers rows as shown: the filter's shown rows, or its own rows. A block spans the items
// between the two corners; in a sorted order those are no run of the grid's rows, so there it is the
// active row's cells alone.
void GridView::TellSelection() {
    const RowFilter* filter = grid_.Filter();
    auto shown = [filter](int row) { return filter != nullptr ? filter->ShownRow(row).value_or(-1) : row; };
    const int active = shown(active_row_);
    if (active < 0) return;
    CellRange block{active_col_, active, active_col_, active};
    if (anchor_row_ >= 0) {
        const int anchor = sort_col_ >= 0 ? active : shown(anchor_row_);
        if (anchor < 0) return;
        block = {std::min(anchor_col_, active_col_), std::min(anchor, active), std::max(anchor_col_, active_col_),
                 std::max(anchor, active)};
    }
    grid_.UserSelect({active_col_, active}, block);
}

bool GridView::InSelection(int display_col, int row) const {
    if (row == active_row_ && display_col == active_col_) return true;
    if (anchor_row_ < 0) return false;
    const int item = ItemOfRow(row);
    const int a = ItemOfRow(active_row_);
    if (item < 0 || a < 0) return false;
    const int b = sort_col_ >= 0 ? a : ItemOfRow(anchor_row_);
    return item >= std::min(a, b) && item <= std::max(a, b) && display_col >= std::min(anchor_col_, active_col_) &&
           display_col <= std::max(anchor_col_, active_col_);
}

void GridView::FollowGridView() {
    const GridCell active = grid_.Active();
    if (active.row >= 0 && active.row < grid_.ShownRowCount()) {
        SelectCell(active.col, grid_.GridRow(active.row));
        return;
    }
    // Nothing selected: the first row active and the top shown.
    anchor_row_ = -1;
    anchor_col_ = -1;
    active_row_ = ItemCount() > 0 ? RowOfItem(0) : HeaderRows();
    if (ItemCount() > 0) SendMessageW(Hwnd(), LVM_ENSUREVISIBLE, 0, FALSE);
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void GridView::ToggleActiveCheckBox() {
    if (grid_.UserToggleCheckBox(grid_.RealColIndex(active_col_), active_row_)) {
        InvalidateRow(active_row_);
        if (ui_.UserActed) ui_.UserActed();
    }
}

bool GridView::BeginEdit(const std::wstring* typed) {
    const int real = grid_.RealColIndex(active_col_);
    bool has_box = false;
    if (!grid_.CanEditCell(real, active_row_) || !grid_.Control::Enabled ||
        grid_.GetCheckBoxState(real, active_row_, has_box)) {
        return false;
    }
    RECT cell{};
    if (!CellRect(active_col_, active_row_, cell)) return false;
    editing_ = true;
    edit_row_ = active_row_;
    edit_col_ = real;
    SetWindowTextW(editor_, typed != nullptr ? typed->c_str() : Wide(grid_.GetCellEx(real, active_row_)).c_str());
    MoveWindow(editor_, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, TRUE);
    ShowWindow(editor_, SW_SHOW);
    SetFocus(editor_);
    const int end = GetWindowTextLengthW(editor_);
    if (typed != nullptr) {
        SendMessageW(editor_, EM_SETSEL, static_cast<WPARAM>(end), end);
    } else {
        SendMessageW(editor_, EM_SETSEL, 0, end);
    }
    return true;
}

void GridView::EndEdit(bool keep) {
    if (!editing_) return;
    // Cleared first: hiding the editor takes its focus away, which ends the edit again.
    editing_ = false;
    const std::string text = Narrow(WindowTextOf(editor_));
    const bool had_focus = GetFocus() == editor_;
    ShowWindow(editor_, SW_HIDE);
    if (had_focus) SetFocus(Hwnd());
    InvalidateRow(edit_row_);
    if (keep && grid_.UserSetCellText(edit_col_, edit_row_, text) && ui_.UserActed) ui_.UserActed();
}

void GridView::HeaderChanged(const NMHEADERW& change) {
    if (ui_.Refreshing() || change.pitem == nullptr || (change.pitem->mask & HDI_WIDTH) == 0) return;
    if (grid_.UserSetColWidth(change.iItem, ui_.S().Designed(change.pitem->cxy))) {
        shown_revision_ = grid_.Revision();  // the list already shows this width
        InvalidateRect(Hwnd(), nullptr, FALSE);
        if (ui_.UserActed) ui_.UserActed();
    }
}

LRESULT CALLBACK GridView::ListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data) {
    return reinterpret_cast<GridView*>(data)->OnListMessage(list, message, wparam, lparam);
}

LRESULT CALLBACK GridView::EditorProc(HWND editor, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                      DWORD_PTR data) {
    return reinterpret_cast<GridView*>(data)->OnEditorMessage(editor, message, wparam, lparam);
}

// The fixed columns stay at the left edge when the list scrolls sideways: the list moves its picture and
// its header with the scroll, so every scroll redraws the whole list and header, and the fixed cells are
// drawn over the scrolled ones at their unscrolled place.
LRESULT GridView::OnListMessage(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = HandleListMessage(list, message, wparam, lparam);
    if (grid_.FixedCols() > 0 && IsWindow(list)) {
        const int scroll = ScrollX();
        if (scroll != shown_scroll_) {
            shown_scroll_ = scroll;
            InvalidateRect(list, nullptr, FALSE);
            InvalidateRect(header_, nullptr, FALSE);
        }
    }
    return result;
}

int GridView::ScrollX() const {
    return GetScrollPos(Hwnd(), SB_HORZ);
}

int GridView::FixedWidth() const {
    int width = 0;
    for (int d = 0; d < std::min(grid_.FixedCols(), grid_.ColCount()); ++d) width += ColumnWidth(Hwnd(), d);
    return width;
}

LRESULT CALLBACK GridView::HeaderProc(HWND header, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                      DWORD_PTR data) {
    auto* view = reinterpret_cast<GridView*>(data);
    const LRESULT result = DefSubclassProc(header, message, wparam, lparam);
    if (message == WM_PAINT) view->PaintFixedHeader();
    return result;
}

// The header's fixed items over the scrolled ones, at their unscrolled place.
void GridView::PaintFixedHeader() {
    const int scroll = ScrollX();
    if (scroll <= 0 || grid_.FixedCols() <= 0) return;
    HDC dc = GetDC(header_);
    for (int d = 0; d < std::min(grid_.FixedCols(), grid_.ColCount()); ++d) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_HEADER;
        item.itemID = static_cast<UINT>(d);
        item.hwndItem = header_;
        item.hDC = dc;
        if (!SendMessageW(header_, HDM_GETITEMRECT, static_cast<WPARAM>(d), reinterpret_cast<LPARAM>(&item.rcItem))) {
            continue;
        }
        OffsetRect(&item.rcItem, scroll, 0);
        DrawHeaderItem(item);
    }
    ReleaseDC(header_, dc);
}

LRESULT GridView::HandleListMessage(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN: {
            // The list's own handling would select whole rows and wait for a drag; the grid has cells.
            EndEdit(true);
            SetFocus(list);
            int col = 0;
            int row = 0;
            if (HitCell({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, col, row)) {
                const bool extend = message == WM_LBUTTONDOWN && (wparam & MK_SHIFT) != 0;
                SelectCell(col, row, extend);
                if (message == WM_LBUTTONDOWN && !extend) ToggleActiveCheckBox();
            }
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            int col = 0;
            int row = 0;
            if (!HitCell({GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, col, row)) return 0;
            SelectCell(col, row);
            // The second click of a double click on a box is a click like the first.
            if (!BeginEdit(nullptr)) ToggleActiveCheckBox();
            return 0;
        }
        case WM_RBUTTONUP:
            if (has_menu_ && ui_.ContextMenu) {
                POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
                ClientToScreen(list, &point);
                ui_.ContextMenu(*this, point);
            }
            return 0;
        case WM_CONTEXTMENU: {
            if (!has_menu_ || !ui_.ContextMenu) break;
            POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
            RECT cell{};
            if (point.x == -1 && point.y == -1 && CellRect(active_col_, active_row_, cell)) {
                point = {cell.left, cell.bottom};
                ClientToScreen(list, &point);
            }
            ui_.ContextMenu(*this, point);
            return 0;
        }
        case WM_KEYDOWN:
            if (wparam == 'C' && GetKeyState(VK_CONTROL) < 0) {
                // Ctrl+C: the selected cells onto the clipboard.
                grid_.UserCopy();
                if (ui_.UserActed) ui_.UserActed();
                return 0;
            }
            switch (wparam) {
                case VK_LEFT:
                case VK_RIGHT:
                    SelectCell(active_col_ + (wparam == VK_LEFT ? -1 : 1), active_row_, GetKeyState(VK_SHIFT) < 0);
                    return 0;

                case VK_SPACE:
                    ToggleActiveCheckBox();
                    return 0;
                case VK_F2:
                case VK_RETURN:
                    BeginEdit(nullptr);
                    return 0;
                default: {
                    LRESULT result = DefSubclassProc(list, message, wparam, lparam);
                    // Up, Down, Page and Home/End move the list's focus: the active row follows it.
                    const auto focused =
                        static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
                    if (focused >= 0 && RowOfItem(focused) != active_row_) {
                        SelectCell(active_col_, RowOfItem(focused), GetKeyState(VK_SHIFT) < 0);
                    }
                    return result;
                }
            }
        case WM_CHAR:
            // Typing starts an edit of the active cell; the list's own type-to-find has nothing to find.
            if (wparam >= 0x20 && wparam != 0x7F) {
                if (wparam != L' ') {
                    std::wstring typed(1, static_cast<wchar_t>(wparam));
                    BeginEdit(&typed);
                }
            }
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_COMMAND:
            // The editor is drawn again at every change: a text the grid would refuse is marked as it is typed.
            if (reinterpret_cast<HWND>(lparam) == editor_ && HIWORD(wparam) == EN_CHANGE) {
                InvalidateRect(editor_, nullptr, TRUE);
            }
            break;
        case WM_CTLCOLOREDIT:
            if (reinterpret_cast<HWND>(lparam) == editor_ && editing_ &&
                grid_.TextRefused(edit_col_, Narrow(WindowTextOf(editor_)))) {
                const COLORREF bad = Rgb(GridControl::kBadCellColor);
                if (bad_brush_.get() == nullptr) bad_brush_.Reset(CreateSolidBrush(bad));
                SetBkColor(reinterpret_cast<HDC>(wparam), bad);
                return reinterpret_cast<LRESULT>(bad_brush_.get());
            }
            break;
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            EndEdit(true);
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRow(active_row_);
            break;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (item.hwndItem != header_) break;
            DrawHeaderItem(item);
            return TRUE;
        }
        case WM_NOTIFY: {
            auto& header = *reinterpret_cast<NMHDR*>(lparam);
            if (header.hwndFrom != header_) break;
            if (IsCode(header.code, HDN_BEGINTRACKW, HDN_BEGINTRACKA) ||
                IsCode(header.code, HDN_DIVIDERDBLCLICKW, HDN_DIVIDERDBLCLICKA)) {
                EndEdit(true);
                if (!grid_.Resizable || !grid_.Control::Enabled) return TRUE;  // the columns keep their widths
                break;
            }
            if (IsCode(header.code, HDN_ITEMCHANGEDW, HDN_ITEMCHANGEDA)) {
                LRESULT result = DefSubclassProc(list, message, wparam, lparam);
                HeaderChanged(reinterpret_cast<const NMHEADERW&>(header));
                return result;
            }
            break;
        }
        default:
            break;
    }
    return DefSubclassProc(list, message, wparam, lparam);
}

LRESULT GridView::OnEditorMessage(HWND editor, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_HASSETSEL;
        case WM_KEYDOWN:
            if (wparam == VK_RETURN || wparam == VK_ESCAPE) {
                EndEdit(wparam == VK_RETURN);
                return 0;
            }
            if (wparam == VK_TAB) {
                // Tab keeps the text and leaves the grid, as from the grid itself.
                EndEdit(true);
                PostMessageW(ui_.Main(), WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, FALSE);
                return 0;
            }
            if (wparam == VK_UP || wparam == VK_DOWN) {
                EndEdit(true);
                const int item = ItemOfRow(active_row_) + (wparam == VK_UP ? -1 : 1);
                if (item >= 0 && item < ItemCount()) {
                    SelectCell(active_col_, RowOfItem(item));
                }
                return 0;
            }
            break;
        case WM_CHAR:
            if (wparam == L'\r' || wparam == 27 || wparam == L'\t') return 0;  // no beep
            break;
        case WM_KILLFOCUS:
            EndEdit(true);
            break;
        default:
            break;
    }
    return DefSubclassProc(editor, message, wparam, lparam);
}

bool GridView::DrawItem(const DRAWITEMSTRUCT& item) {
    if (item.hwndItem != Hwnd() || item.CtlType != ODT_LISTVIEW) return false;
    const int row = RowOfItem(static_cast<int>(item.itemID));
    if (row < 0) return true;
    HDC dc = item.hDC;
    HGDIOBJ old_font = SelectObject(dc, ui_.Font(FontKind::Grid));
    RECT client{};
    GetClientRect(Hwnd(), &client);
    const bool focused = GetFocus() == Hwnd();
    int x = item.rcItem.left;
    for (int d = 0; d < grid_.ColCount(); ++d) {
        const int width = ColumnWidth(Hwnd(), d);
        RECT cell{x, item.rcItem.top, x + width, item.rcItem.bottom};
        if (cell.right > client.left && cell.left < client.right) {
            DrawCell(dc, cell, grid_.RealColIndex(d), row, d, focused);
        }
        x += width;
    }
    if (x < client.right) {
        RECT rest{x, item.rcItem.top, client.right, item.rcItem.bottom};
        FillRect(dc, &rest, GetSysColorBrush(COLOR_WINDOW));
    }
    // The fixed columns at their unscrolled place, over what scrolled under them.
    if (const int scroll = ScrollX(); scroll > 0) {
        x = item.rcItem.left + scroll;
        for (int d = 0; d < std::min(grid_.FixedCols(), grid_.ColCount()); ++d) {
            const int width = ColumnWidth(Hwnd(), d);
            RECT cell{x, item.rcItem.top, x + width, item.rcItem.bottom};
            DrawCell(dc, cell, grid_.RealColIndex(d), row, d, focused);
            x += width;
        }
    }
    SelectObject(dc, old_font);
    return true;
}

void GridView::DrawCell(HDC dc, const RECT& rect, int real_col, int row, int display_col, bool focused) {
    const bool fixed = row < grid_.FixedRows() || display_col < grid_.FixedCols();
    // The selection in the highlight colour while the grid has the focus; without it (the find bar has it),
    // a selection the user or a find made stays marked on the button face.
    const bool selected = !fixed && InSelection(display_col, row) && (focused || grid_.Active().row >= 0);
    COLORREF back = 0;
    COLORREF fore = Rgb(grid_.FontColor);
    if (fixed) {
        back = Rgb(grid_.FixedColor);
        fore = Rgb(grid_.FixedFontColor);
    } else if (selected && focused) {
        back = GetSysColor(COLOR_HIGHLIGHT);
        fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
    } else if (selected) {
        back = GetSysColor(COLOR_BTNFACE);
        fore = GetSysColor(COLOR_BTNTEXT);
    } else {
        back = Rgb(grid_.CellRefused(real_col, row) ? GridControl::kBadCellColor : DataCellColor(grid_, row));
    }
    GdiObject<HBRUSH> brush(CreateSolidBrush(back));
    FillRect(dc, &rect, brush.get());

    // Grid lines on the right and bottom edge of every cell.
    const int line = std::max(1, grid_.GridLineWidth);
    GdiObject<HBRUSH> line_brush(CreateSolidBrush(Rgb(grid_.GridLineColor)));
    RECT right{rect.right - line, rect.top, rect.right, rect.bottom};
    RECT bottom{rect.left, rect.bottom - line, rect.right, rect.bottom};
    FillRect(dc, &right, line_brush.get());
    FillRect(dc, &bottom, line_brush.get());
    if (fixed) DrawEdge(dc, const_cast<RECT*>(&rect), BDR_RAISEDINNER, BF_TOPLEFT);

    RECT content{rect.left + ui_(2), rect.top, rect.right - line - ui_(2), rect.bottom - line};
    bool state = false;
    if (grid_.GetCheckBoxState(real_col, row, state)) {
        const int size = ui_(grid_.CheckSize) - ui_(2);
        RECT box{content.left, (content.top + content.bottom - size) / 2, 0, 0};
        box.right = box.left + size;
        box.bottom = box.top + size;
        if (box.right <= content.right) {
            DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (state ? DFCS_CHECKED : 0));
        }
        content.left = box.right + ui_(3);
    }
    const std::string_view text = grid_.GetCellEx(real_col, row);
    if (text.empty() || content.right <= content.left) return;
    const std::wstring wide = Wide(text.substr(0, kMaxDrawnChars));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fore);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &content,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT | DT_END_ELLIPSIS);
}

void GridView::DrawHeaderItem(const DRAWITEMSTRUCT& item) {
    const int display = static_cast<int>(item.itemID);
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool hot = grid_.HotLightHeader && display == active_col_;
    const COLORREF back = hot ? Rgb(clHotLight) : Rgb(grid_.FixedColor);
    const COLORREF fore = hot ? Rgb(clWindow) : Rgb(grid_.FixedFontColor);
    GdiObject<HBRUSH> brush(CreateSolidBrush(back));
    FillRect(dc, &rect, brush.get());
    DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
    if (display < 0 || display >= grid_.ColCount() || grid_.FixedRows() == 0) return;
    const std::wstring text = Wide(grid_.GetCellEx(grid_.RealColIndex(display), 0).substr(0, kMaxDrawnChars));
    RECT content{rect.left + ui_(3), rect.top, rect.right - ui_(3), rect.bottom};
    if (sort_col_ >= 0 && grid_.RealColIndex(display) == sort_col_) {
        // The sort mark at the right edge: a small triangle pointing up or down.
        const int half = ui_(4);
        const int x = content.right - half;
        const int y = (rect.top + rect.bottom) / 2;
        const int tip = sort_order_ == SortOrder::kAscending ? -half / 2 : half / 2;
        const POINT mark[3] = {{x - half, y - tip}, {x + half, y - tip}, {x, y + tip}};
        GdiObject<HBRUSH> mark_brush(CreateSolidBrush(fore));
        GdiObject<HPEN> mark_pen(CreatePen(PS_SOLID, 1, fore));
        HGDIOBJ old_brush = SelectObject(dc, mark_brush.get());
        HGDIOBJ old_pen = SelectObject(dc, mark_pen.get());
        Polygon(dc, mark, 3);
        SelectObject(dc, old_pen);
        SelectObject(dc, old_brush);
        content.right -= 2 * half + ui_(3);
    }
    HGDIOBJ old_font = SelectObject(dc, ui_.Font(FontKind::Grid));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fore);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &content,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT | DT_END_ELLIPSIS);
    SelectObject(dc, old_font);
}

}  // namespace tarnwell::win32
