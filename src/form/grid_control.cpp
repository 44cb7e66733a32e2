#include "form/grid_control.h"

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

}  // namespace tarnwell
