#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "grid/color.h"
#include "grid/table_grid_error.h"
#include "grid/text_slice.h"
#include "grid/text_width.h"

namespace tarnwell {

class BulkRows;
class SaveProgress;
class UnstoredTextWidths;

struct GridBands {
    bool Active = false;
    ColorValue PrimaryColor = clInfoBk;
    int PrimaryLength = 1;
    ColorValue SecondaryColor = clWindow;
    int SecondaryLength = 1;
};

// Settings of the HTML writer; every grid of the program keeps these values.
struct HtmlSettings {
    int BorderSize = 1;
    int CellSpacing = 0;
    int CellPadding = 0;
    int Width = 100;  // percent
};

// The table model behind every table of the program: text cells addressed by real column and row, row
// and column counts, fixed (header) rows and columns, check boxes beside cell texts, hidden columns, and
// column widths. Cell storage is sparse and independent of the counts: a cell keeps its text and check
// box when the counts shrink below it and shows them again when they grow back.
//
// Texts are Windows-1251 byte strings. The store keeps them without a heap node per cell, so a table of
// ten million cells costs little more than its texts; a whole file can be handed over in one block
// (AdoptText) and its cells set as slices of it (SetCellSlice) without copying.
//
// Cost: a cell holds an 8-byte reference (no more while it is empty beyond its row's last written
// column), a row 8 bytes, SetCellEx texts their length in an owned arena. Reading row by row and writing
// each row left to right, in row order, is the fast path; other orders work, with some copying.
class TTableGrid {
public:
    // Counts below 1 become 1. One fixed row (none when there is a single row) and no fixed column, as
    // on the viewer and statistics tables; widths 64 each; every column visible.
    explicit TTableGrid(int col_count = 5, int row_count = 5);
    virtual ~TTableGrid();
    TTableGrid(const TTableGrid&) = delete;
    TTableGrid& operator=(const TTableGrid&) = delete;

    // --- Cell texts, by real column -------------------------------------------------------------
    // The stored text, empty for a cell never written. No check against the counts. The view stays
    // valid until the grid is next changed.
    std::string_view GetCellEx(int col, int row) const;
    // Stores a copy of the text. No check against the counts; the counts do not change. Throws
    // ETableGridError "Grid index out of range" for a negative column or row, or a column of 2^26 - 1
    // or more.
    void SetCellEx(int col, int row, std::string_view text);

    // Bulk loading: hands a block of text to the grid, which keeps it until Clear() or destruction.
    using TextBlockId = std::uint32_t;
    TextBlockId AdoptText(std::string block);
    // The bytes of an adopted block, where the grid keeps them: split them and set the cells as slices.
    // Valid until Clear() or destruction. Throws ETableGridError for an unknown block.
    std::string_view AdoptedText(TextBlockId block) const;
    // Sets the cell to bytes [offset, offset + length) of an adopted block, without copying them.
    // Throws ETableGridError for a bad cell (as SetCellEx), an unknown block or a range beyond it.
    void SetCellSlice(int col, int row, TextBlockId block, std::size_t offset, std::size_t length);
    // Sets cells 0 to slices.size() - 1 of a row to slices of an adopted block, as SetCellSlice one by
    // one would, in one call: the loader's way to fill a row of a fresh load.
    void SetRowSlices(int row, TextBlockId block, std::span<const TextSlice> slices);
    // Drops every text, check box and adopted block. Counts, fixed counts, hidden columns and widths stay.
    void Clear();
    // Replaces every text and check box with the rows built apart, on several threads (grid/bulk_rows.h):
    // the grid keeps their bytes with their owner. Counts, fixed counts, hidden columns and widths stay.
    // Throws ETableGridError "Too many cells in the grid" when the rows hold more than the grid can address.
    void LoadRows(BulkRows&& rows);

    // --- Counts --------------------------------------------------------------------------------
    int RowCount() const;
    // Equal: nothing. Below 1: 1. At or below FixedRows: FixedRows becomes the new count - 1 first.
    void SetRowCount(int count);
    // Visible columns only; real columns are ColCount() + NumHiddenColumns().
    int ColCount() const;
    void SetColCount(int count);
    int FixedRows() const;
    // Throws ETableGridError "Grid index out of range" (n < 0) or
    // "Fixed row count must be less than row count" (n >= RowCount).
    void SetFixedRows(int n);
    int FixedCols() const;
    // Throws ETableGridError "Grid index out of range" (n < 0) or
    // "Fixed column count must be less than column count" (n >= ColCount).
    void SetFixedCols(int n);

    // --- Check boxes, by real column, kept beside the text -----------------------------------
    // Replaces any check box of the cell. `data` is accepted for the callers' sake; the state is
    // always kept beside the text. Throws "Grid index out of range" for a negative column or row.
    void AddCheckBox(int col, int row, bool state, bool data = false);
    // True when the cell has a check box; then writes its state to `state`, else leaves it alone.
    bool GetCheckBoxState(int col, int row, bool& state) const;
    // True when the cell has a check box, whose state is then set.
    bool SetCheckBoxState(int col, int row, bool state);
    // True when a check box was removed. The text is unchanged.
    bool RemoveCheckBox(int col, int row);

    // --- Hidden columns (real columns 0 to 255) ----------------------------------------------
    void HideColumn(int real_col);
    void UnHideColumnsAll();
    int NumHiddenColumns() const;
    bool IsHiddenColumn(int real_col) const;
    int RealColIndex(int display_col) const;
    int DisplColIndex(int real_col) const;
    // The real columns shown, in display order (ColCount() entries): what the writers loop over.
    std::vector<int> VisibleRealColumns() const;

    // --- Widths, by display column ------------------------------------------------------------
    // 64 outside the display columns.
    int ColWidths(int display_col) const;
    // Throws ETableGridError "Grid index out of range" outside the display columns.
    void SetColWidths(int display_col, int width);
    // Fits every non-fixed column to its widest content now: check box + text width, + 16 pixels. With
    // `unstored`, a column is at least as wide as the widest text measured there without being stored.
    void AutoSize(const TextWidthMeasure& measure = HeadlessTextWidth(), const UnstoredTextWidths* unstored = nullptr);

    // --- Revision -----------------------------------------------------------------------------------
    // A number that every change of texts, check boxes, counts, fixed counts, hidden columns or widths
    // moves on (also a change that writes what was there). A view that shows the grid re-reads it only
    // when the number has moved since it last looked: a table of millions of cells is not re-read after
    // a handler that did not touch it. The appearance fields below are not counted: they are set once,
    // when the window is made.
    std::uint64_t Revision() const;

    // --- Appearance, read by the writers ------------------------------------------------------
    ColorValue Color = clWindow;
    ColorValue FixedColor = clBtnFace;
    ColorValue FontColor = clWindowText;
    ColorValue FixedFontColor = clWindowText;
    GridBands Bands;
    bool WordWrap = false;
    int GridLineWidth = 1;
    int DefaultRowHeight = 21;
    ColorValue GridLineColor = clSilver;
    int CheckSize = 15;  // ControlLook.CheckSize
    HtmlSettings HTMLSettings;

    // --- Writers ---------------------------------------------------------------------------------
    // The text a writer puts out for a cell; the stored text unless a subclass says otherwise.
    virtual std::string_view SaveCell(int col, int row) const;
    // An HTML table fragment (see grid/html_table.h) with CR LF line ends, written as it is made through a
    // temporary file (files/output_file.h). Throws ETableGridError "Cannot Create
    // file " + name when the file cannot be created or replaced, "Cannot write file " + name + ": " +
    // reason when writing fails; the old file then stays as it was.
    void SaveToHTML(const std::string& file_name, const ColorScheme& colors = HeadlessColorScheme()) const;
    // An Excel 97-2003 workbook of the visible columns, every row, texts without CR; a table longer than
    // a sheet goes on over further sheets, each starting with the fixed rows again (grid/xls_workbook.h).
    void SaveToXLS(const std::string& file_name) const;
    // The same with its progress shown; stops with ESaveCancelled, leaving the old file, when the progress
    // says the user asked to (text/save_progress.h).
    void SaveToXLS(const std::string& file_name, SaveProgress& progress) const;

private:
    // Implementation state, shared by the files that implement the grid (grid/table_grid_state.h).
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace tarnwell
