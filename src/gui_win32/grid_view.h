#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "form/grid_control.h"
#include "grid/color.h"
#include "gui_win32/control_view.h"
#include "stats/statistics_sort.h"

namespace tarnwell::win32 {

// A table of the window: a virtual report list over the grid model, drawn cell by cell. The list holds
// no cells: it asks for the rows it draws (the viewer's table may have millions), and the grid is read
// again only when its Revision has moved.
//
// The first fixed row is the list's header; the rows below it are the list's items. Fixed cells are drawn
// on the button face, bands alternate on the other rows, the active cell is the user's cursor (a click,
// the arrow keys), and on grids that ask for it the header cell of its column is drawn in clHotLight.
// Where the grid lets the user edit, a click on a cell with a check box or Space on it toggles the box,
// and a double click, F2, Enter or typing edits the cell's text in place (Enter or leaving the cell
// keeps the text, Escape drops it). Columns are sized with the mouse on grids that are Resizable.
//
// A grid given a row sort is sorted in the view by a click on a column header, a second click reverses
// it; the grid keeps its own order, and every cell the user reaches is the grid's cell of that row. A grid
// with a row filter shows the filter's rows only.
//
// Shift with a click or an arrow key selects the block between the active cell and the other corner; the
// grid is told each selection (Ctrl+C copies it), and the view follows what the program selects (a find).
class GridView : public ControlView {
public:
    // The rows below the fixed ones in the order to show when sorted by a real column.
    using RowSort = std::function<std::vector<int>(const TTableGrid& grid, int real_col, SortOrder order)>;

    GridView(Ui& ui, HWND parent, GridControl& grid, const ColorScheme& colors, bool has_menu);
    ~GridView() override;

    void Refresh() override;
    bool Notify(NMHDR& header, LRESULT& result) override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;
    void ScaleChanged() override;

    GridControl& Grid() const { return grid_; }
    // The active cell: a grid row and a display column.
    int ActiveRow() const { return active_row_; }
    int ActiveColumn() const { return active_col_; }
    // The cell's rectangle in the list's client coordinates; false for a row that is no item (the header).
    bool CellRect(int display_col, int row, RECT& rect) const;
    // Lets the user sort the rows shown by a click on a column header.
    void SetRowSort(RowSort sort) { row_sort_ = std::move(sort); }
    // The grid row shown as the list's item, and the item that shows a grid row (-1 for the header).
    int RowOfItem(int item) const;
    int ItemOfRow(int row) const;

private:
    static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK EditorProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    static LRESULT CALLBACK HeaderProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT OnListMessage(HWND list, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT HandleListMessage(HWND list, UINT message, WPARAM wparam, LPARAM lparam);
    int ScrollX() const;
    int FixedWidth() const;
    void PaintFixedHeader();
    LRESULT OnEditorMessage(HWND editor, UINT message, WPARAM wparam, LPARAM lparam);

    int HeaderRows() const { return grid_.FixedRows() > 0 ? 1 : 0; }
    bool HitCell(POINT client, int& display_col, int& row) const;
    // Makes the cell active; `extend` keeps the selection's other corner where it was (Shift), otherwise
    // the selection is the one cell. The grid is told what the user selected.
    void SelectCell(int display_col, int row, bool extend = false);
    void TellSelection();
    // The program moved the grid's view (a find, a filter, a load): the active cell and the rows shown
    // follow it.
    void FollowGridView();
    bool InSelection(int display_col, int row) const;
    int ItemCount() const;
    void ClampActiveCell();
    void InvalidateRow(int row);
    void ToggleActiveCheckBox();
    bool BeginEdit(const std::wstring* typed);
    void EndEdit(bool keep);
    void HeaderChanged(const NMHEADERW& change);
    void SortBy(int display_col);
    void ApplySort();
    void SetHeaderItem(int display_col);
    void DrawHeaderItem(const DRAWITEMSTRUCT& item);
    void DrawCell(HDC dc, const RECT& rect, int real_col, int row, int display_col, bool focused);
    COLORREF Rgb(ColorValue color) const { return ToColorRef(color.ToRgb(colors_)); }

    GridControl& grid_;
    const ColorScheme& colors_;
    bool has_menu_;
    HWND header_ = nullptr;
    HWND editor_ = nullptr;
    GdiObject<HBRUSH> bad_brush_;  // the editor's background while its text would be refused
    HIMAGELIST row_height_ = nullptr;  // an empty image list that sets the row height
    std::uint64_t shown_revision_ = ~std::uint64_t{0};
    int shown_scroll_ = 0;
    int active_row_ = 1;
    int active_col_ = 0;
    int anchor_row_ = -1;  // the selection's other corner (grid row, display column); -1: the active cell
    int anchor_col_ = -1;
    std::uint64_t shown_view_revision_ = 0;
    bool editing_ = false;
    int edit_row_ = 0;
    int edit_col_ = 0;   // real column
    std::wstring text_;  // the text handed to the list for one item
    RowSort row_sort_;
    int sort_col_ = -1;  // real column the rows are sorted by, -1 for the grid's order
    SortOrder sort_order_ = SortOrder::kAscending;
    bool mapped_ = false;           // items show row_of_item_ (sorted or filtered), not the grid's order
    std::vector<int> row_of_item_;
    std::vector<int> item_of_row_;
};

}  // namespace tarnwell::win32
