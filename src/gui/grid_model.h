#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QFont>
#include <cstdint>
#include <vector>

#include "form/grid_control.h"
#include "grid/color.h"

namespace tarnwell {

// A Qt table model over one of the window's grids. It keeps no cells: every text is read from the grid's
// cell store when the view asks for it, so the viewer's ten million cells cost the view nothing beyond
// the header's size per row.
//
// The first fixed row is the view's column header and the first fixed column its row header, as the
// grid draws its fixed cells; further fixed rows or columns (the program makes none) show as cells in the
// fixed colours. Model columns are display columns: hidden columns are not shown.
//
// Sync() reads the grid's shape again, resetting the model, only when the grid's Revision moved since
// the model last looked, or its filter changed the rows shown. Model rows are the grid's shown rows below
// the header. Edits made through the model go into the grid through its user-action methods
// and keep the model current without a reset.
class GridModel final : public QAbstractTableModel {
public:
    GridModel(GridControl& grid, const ColorScheme& colors, QObject* parent = nullptr);

    GridControl& Grid() const { return grid_; }
    // True when the grid had changed and the model was reset.
    bool Sync();

    // Whether the grid's first fixed row and column are shown as headers.
    bool HasColumnHeader() const { return header_rows_ > 0; }
    bool HasRowHeader() const { return header_cols_ > 0; }
    // The grid's row of a model row, the grid's display and real column of a model column.
    int GridRow(int model_row) const { return grid_.GridRow(model_row + header_rows_); }
    // The grid's shown row (as GridControl numbers its view) of a model row, and back.
    int ShownRow(int model_row) const { return model_row + header_rows_; }
    int ModelRow(int shown_row) const { return shown_row - header_rows_; }
    // The model column of a display column.
    int ModelColumn(int display_col) const { return display_col - header_cols_; }
    int DisplayColumn(int model_col) const { return model_col + header_cols_; }
    int RealColumn(int model_col) const;
    // The text of the corner above the row header (the fixed cell at row 0, display column 0).
    QString CornerText() const;
    // The user dragged a column's edge (model column): the grid takes the width.
    bool UserSetColWidth(int model_col, int width);
    // The header cell of this column is drawn in the hot-light colour (the active cell's column); -1: none.
    void SetHotColumn(int model_col);

    // The background of a cell drawn as the `shown_row`th row of the view: the bands go by the order the
    // rows are shown in, which a sorting view changes.
    QBrush Background(const QModelIndex& index, int shown_row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    void ReadShape();
    bool HasCheckBox(int real_col, int row, bool& state) const;

    GridControl& grid_;
    const ColorScheme& colors_;
    std::uint64_t seen_revision_ = 0;
    const int* seen_filter_ = nullptr;  // the filter's rows when the shape was read (nullptr: none)
    int seen_shown_rows_ = 0;
    int rows_ = 0;
    int cols_ = 0;
    int header_rows_ = 0;
    int header_cols_ = 0;
    int fixed_rows_ = 0;
    int fixed_cols_ = 0;
    std::vector<int> real_columns_;  // by display column
    int hot_column_ = -1;
};

}  // namespace tarnwell
