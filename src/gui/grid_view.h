#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <cstdint>
#include <functional>

#include "gui/grid_model.h"

class QAbstractProxyModel;

namespace tarnwell {

// The cell drawing and editing of a grid: a click anywhere on a cell that holds a check box toggles it,
// as does Space on it, where the grid is editable; other editable cells get the in-place text editor.
class GridDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The in-place editor that is open, if any.
    QWidget* OpenEditor() const { return editor_; }

private:
    mutable QPointer<QWidget> editor_;
};

// A grid of the window as a Qt table view over a GridModel: fixed row and column as headers, the grid's
// widths, font, colours and grid lines, rows and columns sized by the mouse where the grid allows it.
// A proxy (the statistics page's sorting) may stand between the model and the view.
class GridView final : public QTableView {
public:
    GridView(GridControl& grid, const ColorScheme& colors, const QFont& font, QWidget* parent = nullptr);

    GridModel& Model() { return *model_; }
    GridControl& Grid() const { return model_->Grid(); }
    // Shows the model through a proxy (nullptr: directly). The proxy's source must be Model().
    void SetProxy(QAbstractProxyModel* proxy);
    // The model index of a view index and back, through the proxy if there is one.
    QModelIndex ToModel(const QModelIndex& view_index) const;
    QModelIndex FromModel(const QModelIndex& model_index) const;

    // Reads the grid again when it has changed (its Revision moved): the model, the headers, the column
    // widths. The current cell and the scroll position stay where they were, as far as the new shape has
    // them.
    void Sync();
    // Writes an open in-place edit into the grid and closes the editor: done before any handler runs,
    // so that a button pressed while a cell is being edited works on the edited text.
    void CommitEdit();
    // Ctrl+C on the grid (not in an open editor, which copies its own text).
    void OnCopy(std::function<void()> copy) { on_copy_ = std::move(copy); }

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ApplyShape();
    // Shows the selection and the top row the program gave the grid (SelectCell, ResetView, a filter).
    void ApplyView();
    // Tells the grid what the user selected and scrolled to, in its shown rows and display columns.
    void ReportSelection();
    void ReportScroll();
    void ScrollToRow(int view_row);
    int RowEdgeAt(const QPoint& pos) const;
    int RowHeaderTextWidth() const;
    bool TextIsCut(const QString& text, int width) const;

    GridModel* model_;
    GridDelegate* delegate_;
    QWidget* corner_ = nullptr;
    QAbstractProxyModel* proxy_ = nullptr;
    bool applying_ = false;       // widths set from the grid: not the user's sizing
    bool applying_view_ = false;  // selection and scroll set from the grid: not the user's
    std::uint64_t seen_view_revision_ = 0;
    std::function<void()> on_copy_;
    int sizing_row_ = -1;    // the row whose lower edge the user drags
    int sizing_start_y_ = 0;
    int sizing_start_height_ = 0;
};

}  // namespace tarnwell
