#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "form/control.h"
#include "form/grid_selection.h"
#include "form/row_filter.h"
#include "grid/table_grid.h"

namespace tarnwell {

// A table of the window: the table model with the view settings the window needs. Code that works on a
// table's content takes it as a TTableGrid.
//
// The user's edits come in through the User... methods, like the other controls' (no handler of the
// program is bound to a grid). Each checks what the view should already have checked, so a window cannot
// write where the user may not: a fixed cell, a hidden column, a cell outside the counts, a grid that is
// not Editable, a disabled grid. Each moves the grid's Revision like any other change.
//
// The view: the rows shown (all, or a filter's), the selection and the first scrolling row shown. Rows
// here are numbered as the window shows them: the filter's shown rows (row i shows grid row
// Filter()->RealRow(i)), or the grid's rows when no filter is on; columns are display columns. The
// window tells the grid what the user selects and scrolls (UserSelect, UserScroll) and how many rows it
// has room for (UserSetVisibleRowCount); the program moves the view from code (SetFilter, SelectCell,
// ResetView), which moves ViewRevision: the window then shows the rows, the selection and the top row
// again, and brings the active cell's column into view as well.
class GridControl : public TTableGrid, public Control {
public:
    GridControl(int col_count, int row_count) : TTableGrid(col_count, row_count) {}

    bool Editable = false;        // the user edits non-fixed cells and toggles their check boxes
    bool Resizable = false;       // the user sizes rows and columns with the mouse
    bool HotLightHeader = false;  // the header cell of the active cell's column is drawn in clHotLight

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

    // --- The view ---------------------------------------------------------------------------------
    // The filter whose rows are shown; nullptr: every row. A filter that names a row beyond the row count
    // (made for a table since replaced) counts as none, so a window never shows rows that are gone; the
    // program sets the filter again after each load.
    const RowFilter* Filter() const;
    // Rows shown: the filter's count, or RowCount().
    int ShownRowCount() const;
    // The grid's row shown as row `shown`.
    int GridRow(int shown) const;
    // Shows the filter's rows (nullopt: every row). The active cell stays on its grid row when the filter
    // shows it; otherwise nothing is selected and the view goes to the top.
    void SetFilter(std::optional<RowFilter> filter);

    // The active cell ({-1, -1}: none) and the selected block around it.
    GridCell Active() const { return active_; }
    CellRange Selection() const { return selection_; }
    // The first row shown below the fixed rows, and how many rows the window has room for below them.
    int TopRow() const { return top_row_; }
    int VisibleRowCount() const { return visible_rows_; }

    // The user selected the block, with `active` in it (a click: the block of that one cell). False,
    // and nothing changed, for a cell outside the shown rows and columns or a disabled grid.
    bool UserSelect(GridCell active, CellRange block);
    // The user scrolled: `top_row` is the first row shown below the fixed rows (kept within them).
    void UserScroll(int top_row);
    // The window's room, in whole rows below the fixed rows (at least 1).
    void UserSetVisibleRowCount(int rows);
    // Ctrl+C on the grid: runs OnCopy, which puts the selected cells on the clipboard.
    void UserCopy() const { Fire(OnCopy); }
    NotifyEvent OnCopy;

    // From code: selects the one cell and scrolls it into view. A row outside the shown rows, or a column
    // outside the display columns, selects nothing.
    void SelectCell(GridCell cell);
    // From code: nothing selected, the top row first: a table that was just loaded.
    void ResetView();
    // Moves whenever the program has moved the view.
    std::uint64_t ViewRevision() const { return view_revision_; }

private:
    bool InView(GridCell cell) const;
    int LowestTopRow() const;
    int HighestTopRow() const;

    std::optional<RowFilter> filter_;
    GridCell active_;
    CellRange selection_{-1, -1, -1, -1};
    int top_row_ = 1;
    int visible_rows_ = 10;
    std::uint64_t view_revision_ = 0;
};

}  // namespace tarnwell
