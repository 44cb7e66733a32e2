#include "gui/grid_model.h"

#include <QBrush>
#include <algorithm>

#include "grid/row_bands.h"
#include "gui/palette_colors.h"
#include "gui/qt_text.h"

namespace tarnwell {

GridModel::GridModel(GridControl& grid, const ColorScheme& colors, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), colors_(colors) {
    ReadShape();
}

void GridModel::ReadShape() {
    seen_revision_ = grid_.Revision();
    fixed_rows_ = grid_.FixedRows();
    fixed_cols_ = grid_.FixedCols();
    header_rows_ = fixed_rows_ > 0 ? 1 : 0;
    header_cols_ = fixed_cols_ > 0 ? 1 : 0;
    // The rows shown: a filter's (its fixed rows first), or all of them.
    const RowFilter* filter = grid_.Filter();
    seen_filter_ = filter ? filter->Rows().data() : nullptr;
    seen_shown_rows_ = grid_.ShownRowCount();
    rows_ = std::max(seen_shown_rows_ - header_rows_, 0);
    real_columns_ = grid_.VisibleRealColumns();
    cols_ = static_cast<int>(real_columns_.size()) - header_cols_;
}

bool GridModel::Sync() {
    // A filter set or lifted changes the rows shown without a change of the table.
    const RowFilter* filter = grid_.Filter();
    const bool same_rows =
        (filter ? filter->Rows().data() : nullptr) == seen_filter_ && grid_.ShownRowCount() == seen_shown_rows_;
    if (grid_.Revision() == seen_revision_ && same_rows) return false;
    beginResetModel();
    ReadShape();
    endResetModel();
    return true;
}

int GridModel::RealColumn(int model_col) const {
    const int display = DisplayColumn(model_col);
    if (display < 0 || display >= static_cast<int>(real_columns_.size())) return -1;
    return real_columns_[static_cast<std::size_t>(display)];
}

QString GridModel::CornerText() const {
    if (!header_rows_ || !header_cols_ || real_columns_.empty()) return {};
    return ToQString(grid_.GetCellEx(real_columns_[0], 0));
}

bool GridModel::UserSetColWidth(int model_col, int width) {
    const bool current = grid_.Revision() == seen_revision_;
    if (!grid_.UserSetColWidth(DisplayColumn(model_col), width)) return false;
    if (current) seen_revision_ = grid_.Revision();
    return true;
}

void GridModel::SetHotColumn(int model_col) {
    if (model_col == hot_column_) return;
    const int before = hot_column_;
    hot_column_ = model_col;
    if (before >= 0 && before < cols_) emit headerDataChanged(Qt::Horizontal, before, before);
    if (model_col >= 0 && model_col < cols_) emit headerDataChanged(Qt::Horizontal, model_col, model_col);
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

bool GridModel::HasCheckBox(int real_col, int row, bool& state) const {
    return grid_.GetCheckBoxState(real_col, row, state);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return {};
    const int row = GridRow(index.row());
    const int col = RealColumn(index.column());
    const bool fixed = row < fixed_rows_ || DisplayColumn(index.column()) < fixed_cols_;
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::AccessibleTextRole: {
            QString text = ToQString(grid_.GetCellEx(col, row));
            // A check box cell without text still says what it holds to a screen reader.
            if (role == Qt::AccessibleTextRole && text.isEmpty()) {
                bool state = false;
                if (HasCheckBox(col, row, state))
                    text = state ? QStringLiteral("отмечено") : QStringLiteral("не отмечено");
            }
            return text;
        }
        case Qt::CheckStateRole: {
            bool state = false;
            if (!HasCheckBox(col, row, state)) return {};
            return state ? Qt::Checked : Qt::Unchecked;
        }
        case Qt::BackgroundRole:
            return Background(index, index.row());
        case Qt::ForegroundRole:
            return QBrush(ToQColor(fixed ? grid_.FixedFontColor : grid_.FontColor, colors_));
        default:
            return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= cols_) return {};
        const bool hot = grid_.HotLightHeader && section == hot_column_;
        switch (role) {
            case Qt::DisplayRole:
                return header_rows_ ? ToQString(grid_.GetCellEx(RealColumn(section), 0)) : QString();
            case Qt::BackgroundRole:
                return hot ? QVariant(QBrush(ToQColor(clHotLight, colors_))) : QVariant();
            case Qt::ForegroundRole:
                return hot ? QVariant(QBrush(Qt::white)) : QVariant();
            default:
                return {};
        }
    }
    if (section < 0 || section >= rows_) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:  // a login cut by the header's width is read whole
            return header_cols_ ? ToQString(grid_.GetCellEx(real_columns_[0], GridRow(section))) : QString();
        case Qt::AccessibleDescriptionRole:
            // The corner cell above the row header ("Логин") has no accessible cell of its own: each row
            // header says which column it stands in.
            return header_cols_ ? CornerText() : QString();
        default:
            return {};
    }
}

QBrush GridModel::Background(const QModelIndex& index, int shown_row) const {
    const int row = GridRow(index.row());
    const bool fixed = row < fixed_rows_ || DisplayColumn(index.column()) < fixed_cols_;
    ColorValue color = fixed ? grid_.FixedColor : DataCellColor(grid_, ShownRow(shown_row));
    // A cell whose text cannot be saved is marked until it is mended.
    if (!fixed && grid_.CellRefused(RealColumn(index.column()), row)) color = GridControl::kBadCellColor;
    return QBrush(ToQColor(color, colors_));
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const int row = GridRow(index.row());
    const int col = RealColumn(index.column());
    if (!grid_.Enabled || !grid_.CanEditCell(col, row)) return flags;
    bool state = false;
    // A check box cell toggles on a click; it opens no text editor.
    return flags | (HasCheckBox(col, row, state) ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable);
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= cols_) return false;
    const int row = GridRow(index.row());
    const int col = RealColumn(index.column());
    const bool current = grid_.Revision() == seen_revision_;
    bool done = false;
    if (role == Qt::EditRole) {
        done = grid_.UserSetCellText(col, row, FromQString(value.toString()));
    } else if (role == Qt::CheckStateRole) {
        bool state = false;
        const bool wanted = value.toInt() == Qt::Checked;
        done = HasCheckBox(col, row, state) && (state == wanted || grid_.UserToggleCheckBox(col, row));
    }
    if (!done) return false;
    // The model shows the change already: the revision it moved needs no reset, unless the model was
    // behind before it.
    if (current) seen_revision_ = grid_.Revision();
    emit dataChanged(index, index, {role, Qt::DisplayRole, Qt::CheckStateRole});
    return true;
}

}  // namespace tarnwell
