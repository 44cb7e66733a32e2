#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "form/control.h"
#include "grid/table_grid.h"

namespace tarnwell {

// A table of the window: the table model with the view settings the window needs. Code that works on a
// table's content takes it as a TTableGrid.
//
// The user's edits come in through the User... methods, like the other controls' (no handler of the
// program is bound to a grid). Each checks what the view should already have checked, so a window cannot
// write where the user may not: a fixed cell, a hidden column, a cell outside the counts, a grid that is
// not Editable, a disabled grid. Each moves the grid's Revision like any other change.
class GridControl : public TTableGrid, public Control {
public:
    GridControl(int col_count, int row_count) : TTableGrid(col_count, row_count) {}

    bool Editable = false;        // the user edits non-fixed cells and toggles their check boxes
    bool Resizable = false;       // the user sizes rows and columns with the mouse
    bool HotLightHeader = false;  // the header cell of the active cell's column is drawn in clHotLight

    // The check of a cell's text that the window shows while the user types (the limits table's numbers);
    // none: every text is good. The window draws a cell it refuses in kBadCellColor.
    std::function<bool(int col, std::string_view text)> CellCheck;
    static constexpr ColorValue kBadCellColor = ColorValue::Rgb(0xFF, 0xC8, 0xC8);
    // Whether the text would be refused in the column (real column): what an open editor asks of its text.
    bool TextRefused(int col, std::string_view text) const { return CellCheck && !CellCheck(col, text); }
    // Whether the cell's own text is refused: the cell is drawn marked.
    bool CellRefused(int col, int row) const { return TextRefused(col, GetCellEx(col, row)); }

    // Whether the user may change the cell (real column): Editable, a shown column that is not fixed, a
    // row below the fixed rows and within the count.
    bool CanEditCell(int col, int row) const;

    // The user's in-place edit of a cell's text. False, and nothing changed, where CanEditCell says no.
    bool UserSetCellText(int col, int row, std::string_view text);
    // The user's click on a cell that holds a check box, or Space on it: the state flips. False, and
    // nothing changed, where CanEditCell says no or the cell has no check box.
    bool UserToggleCheckBox(int col, int row);
    // The user dragged a column's edge (display column). False for a grid that is not Resizable, a column
    // outside the count or a negative width.
    bool UserSetColWidth(int display_col, int width);
};

}  // namespace tarnwell
