#include "form/grid_control.h"

#include <algorithm>

namespace tarnwell {

bool GridControl::CanEditCell(int col, int row) const {
    if (!Editable || row < FixedRows() || row >= RowCount() || col < 0 || IsHiddenColumn(col)) return false;
    const int display = DisplColIndex(col);
    return display >= FixedCols() && display < ColCount();
}

bool GridControl::UserSetCellText(int col, int row, std::string_view text) {
    if (!Control::Enabled || !CanEditCell(col, row)) return false;
    SetCellEx(col, row, text);
    return true;
}

bool GridControl::UserToggleCheckBox(int col, int row) {
    bool state = false;
    if (!Control::Enabled || !CanEditCell(col, row) || !GetCheckBoxState(col, row, state)) return false;
    return SetCheckBoxState(col, row, !state);
}

bool GridControl::UserSetColWidth(int display_col, int width) {
    if (!Control::Enabled || !Resizable || display_col < 0 || display_col >= ColCount() || width < 0) return false;
    SetColWidths(display_col, width);
    return true;
}

const RowFilter* GridControl::Filter() const {
    // Rows ascend, so the last one tells whether every row is still there.
    if (!filter_ || (filter_->Count() > 0 && filter_->RealRow(filter_->Count() - 1) >= RowCount())) return nullptr;
    return &*filter_;
}

int GridControl::ShownRowCount() const {
    const RowFilter* filter = Filter();
    return filter ? filter->Count() : RowCount();
}

int GridControl::GridRow(int shown) const {
    const RowFilter* filter = Filter();
    return filter ? filter->RealRow(shown) : shown;
}

void GridControl::SetFilter(std::optional<RowFilter> filter) {
    const int active_row = InView(active_) ? GridRow(active_.row) : -1;
    filter_ = std::move(filter);
    std::optional<int> shown;
    if (active_row >= 0) shown = filter_ ? filter_->ShownRow(active_row) : std::optional<int>(active_row);
    if (shown) {
        SelectCell({active_.col, *shown});
    } else {
        ResetView();
    }
}

bool GridControl::InView(GridCell cell) const {
    return cell.col >= 0 && cell.col < ColCount() && cell.row >= 0 && cell.row < ShownRowCount();
}

// The rows below the fixed rows scroll; a filter shows the fixed rows first, as many as the grid has.
int GridControl::LowestTopRow() const {
    return std::min(FixedRows(), ShownRowCount());
}

int GridControl::HighestTopRow() const {
    return std::max(LowestTopRow(), ShownRowCount() - visible_rows_);
}

bool GridControl::UserSelect(GridCell active, CellRange block) {
    if (!Control::Enabled || !InView(active) || !InView({block.left, block.top}) ||
        !InView({block.right, block.bottom})) {
        return false;
    }
    active_ = active;
    selection_ = block;
    return true;
}

void GridControl::UserScroll(int top_row) {
    top_row_ = std::clamp(top_row, LowestTopRow(), HighestTopRow());
}

void GridControl::UserSetVisibleRowCount(int rows) {
    visible_rows_ = std::max(rows, 1);
}

void GridControl::SelectCell(GridCell cell) {
    ++view_revision_;
    if (!InView(cell)) {
        active_ = GridCell{};
        selection_ = CellRange{-1, -1, -1, -1};
        return;
    }
    active_ = cell;
    selection_ = CellRange{cell.col, cell.row, cell.col, cell.row};
    // A row out of view comes to the middle of the rows shown, with the rows around it; a fixed row or
    // one already in view leaves the scroll where it is.
    if (cell.row >= LowestTopRow() && (cell.row < top_row_ || cell.row >= top_row_ + visible_rows_)) {
        top_row_ = cell.row - visible_rows_ / 2;
    }
    top_row_ = std::clamp(top_row_, LowestTopRow(), HighestTopRow());
}

void GridControl::ResetView() {
    ++view_revision_;
    active_ = GridCell{};
    selection_ = CellRange{-1, -1, -1, -1};
    top_row_ = LowestTopRow();
}

}  // namespace tarnwell
