#pragma once

#include "form/control.h"
#include "grid/table_grid.h"

namespace tarnwell {

// A table of the window: the table model with the view settings the window needs. Code that works on a
// table's content takes it as a TTableGrid.
class TGridControl : public TTableGrid, public TControl {
public:
    TGridControl(int col_count, int row_count) : TTableGrid(col_count, row_count) {}

    bool Editable = false;        // the user edits non-fixed cells and toggles their check boxes
    bool Resizable = false;       // the user sizes rows and columns with the mouse
    bool HotLightHeader = false;  // the header cell of the active cell's column is drawn in clHotLight
};

}  // namespace tarnwell
