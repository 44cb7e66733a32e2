#include "gui/grid_view.h"

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <QToolTip>
#include <algorithm>
#include <climits>

#include "gui/palette_colors.h"
#include "gui/qt_text.h"

namespace tarnwell {
namespace {

// The grid lines in the grid's own colour (clSilver), whatever the style would draw.
class GridLineStyle final : public QProxyStyle {
public:
    GridLineStyle(QRgb color) : color_(color) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_Table_GridLineColor) return static_cast<int>(color_);
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

private:
    QRgb color_;
};

constexpr int kRowEdgeGrip = 3;  // pixels on either side of a row's lower edge that grab it

}  // namespace

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    editor_ = editor;
    // A text the grid would refuse (a limits number out of range) is marked while it is typed.
    auto* line = qobject_cast<QLineEdit*>(editor);
    auto* view = dynamic_cast<GridView*>(this->parent());
    if (line != nullptr && view != nullptr && view->Grid().CellCheck) {
        const int col = view->Model().RealColumn(view->ToModel(index).column());
        const GridControl& grid = view->Grid();
        const QString bad = QStringLiteral("QLineEdit { background-color: %1; }")
                                .arg(ToQColor(GridControl::kBadCellColor, HeadlessColorScheme()).name());
        QObject::connect(line, &QLineEdit::textChanged, line, [line, &grid, col, bad](const QString& text) {
            line->setStyleSheet(grid.TextRefused(col, FromQString(text)) ? bad : QString());
        });
    }
    return editor;
}

void GridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const {
    if (editor_ == editor) editor_ = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

bool GridDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                               const QModelIndex& index) {
    if (!(index.flags() & Qt::ItemIsUserCheckable)) {
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    }
    auto toggle = [&] {
        const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    };
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // Taken here, so that a press does not start an edit; the release toggles.
            return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint())) return false;
            toggle();
            return true;
        }
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key != Qt::Key_Space && key != Qt::Key_Select) return false;
            toggle();
            return true;
        }
        default:
            return false;
    }
}

GridView::GridView(GridControl& grid, const ColorScheme& colors, const QFont& font, QWidget* parent)
    : QTableView(parent), model_(new GridModel(grid, colors, this)), delegate_(new GridDelegate(this)) {
    auto* style = new GridLineStyle(ToQColor(grid.GridLineColor, colors).rgb());
    style->setParent(this);
    setStyle(style);
    setFont(font);
    horizontalHeader()->setFont(font);
    verticalHeader()->setFont(font);
    setItemDelegate(delegate_);
    setModel(model_);
    setWordWrap(grid.WordWrap);
    // Tab and Shift+Tab go on to the next control, as in every other control of the window: a grid
    // is worked with the arrows, and a keyboard user must be able to leave it for the buttons under it.
    setTabKeyNavigation(false);
    // A block of cells for Ctrl+C: a click, Shift with a click or the arrows.
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(grid.Editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                        QAbstractItemView::AnyKeyPressed
                                  : QAbstractItemView::NoEditTriggers);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setMinimumSectionSize(2);
    verticalHeader()->setDefaultSectionSize(grid.DefaultRowHeight);
    const QHeaderView::ResizeMode mode = grid.Resizable ? QHeaderView::Interactive : QHeaderView::Fixed;
    horizontalHeader()->setSectionResizeMode(mode);
    verticalHeader()->setSectionResizeMode(mode);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (applying_) return;
        Model().UserSetColWidth(section, size);
    });
    corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (corner_) corner_->installEventFilter(this);
    viewport()->setMouseTracking(grid.Resizable);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { ReportScroll(); });
    ApplyShape();
    seen_view_revision_ = grid.ViewRevision();
}

void GridView::SetProxy(QAbstractProxyModel* proxy) {
    proxy_ = proxy;
    setModel(proxy ? static_cast<QAbstractItemModel*>(proxy) : static_cast<QAbstractItemModel*>(model_));
    ApplyShape();
}

QModelIndex GridView::ToModel(const QModelIndex& view_index) const {
    return proxy_ ? proxy_->mapToSource(view_index) : view_index;
}

QModelIndex GridView::FromModel(const QModelIndex& model_index) const {
    return proxy_ ? proxy_->mapFromSource(model_index) : model_index;
}

void GridView::ApplyShape() {
    applying_ = true;
    GridControl& grid = Grid();
    horizontalHeader()->setVisible(model_->HasColumnHeader());
    verticalHeader()->setVisible(model_->HasRowHeader());
    // The row header (the limits' logins) is as wide as designed, or as its longest text needs.
    if (model_->HasRowHeader()) verticalHeader()->setFixedWidth(std::max(grid.ColWidths(0), RowHeaderTextWidth()));
    // The corner stands for the fixed cell above the row header: a screen reader reads it as its header.
    if (corner_) corner_->setAccessibleName(model_->HasRowHeader() ? model_->CornerText() : QString());
    // Header sections follow the view's columns, which are the model's unless a proxy reorders rows
    // only: columns are never moved.
    for (int col = 0; col < model_->columnCount(); ++col) {
        horizontalHeader()->resizeSection(col, grid.ColWidths(model_->DisplayColumn(col)));
    }
    applying_ = false;
}

void GridView::Sync() {
    const QModelIndex current = currentIndex();
    const int row = current.row();
    const int col = current.column();
    const int top = verticalScrollBar()->value();
    const int left = horizontalScrollBar()->value();
    const bool view_moved = Grid().ViewRevision() != seen_view_revision_;
    if (model_->Sync()) {
        ApplyShape();
        QAbstractItemModel* shown = model();
        if (!view_moved && row >= 0 && shown->rowCount() > 0 && shown->columnCount() > 0) {
            const QModelIndex again =
                shown->index(std::min(row, shown->rowCount() - 1), std::min(col, shown->columnCount() - 1));
            selectionModel()->setCurrentIndex(again, QItemSelectionModel::ClearAndSelect);
        }
        verticalScrollBar()->setValue(top);
        horizontalScrollBar()->setValue(left);
    }
    if (view_moved) ApplyView();
}

void GridView::ApplyView() {
    GridControl& grid = Grid();
    seen_view_revision_ = grid.ViewRevision();
    applying_view_ = true;
    const GridCell active = grid.Active();
    const QModelIndex at = active.row < 0 ? QModelIndex()
                                          : FromModel(model_->index(model_->ModelRow(active.row),
                                                                    model_->ModelColumn(active.col)));
    if (at.isValid()) {
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
        scrollTo(at);  // its column into view
    } else {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        horizontalScrollBar()->setValue(0);
    }
    ScrollToRow(std::max(model_->ModelRow(grid.TopRow()), 0));
    applying_view_ = false;
}

void GridView::ScrollToRow(int view_row) {
    if (verticalScrollMode() == QAbstractItemView::ScrollPerItem) {
        verticalScrollBar()->setValue(view_row);
    } else if (view_row < model()->rowCount()) {
        verticalScrollBar()->setValue(verticalOffset() + rowViewportPosition(view_row));
    }
}

void GridView::ReportSelection() {
    if (applying_view_) return;
    const QModelIndex current = ToModel(currentIndex());
    if (!current.isValid()) return;
    const GridCell active{model_->DisplayColumn(current.column()), model_->ShownRow(current.row())};
    CellRange block{active.col, active.row, active.col, active.row};
    const QModelIndexList chosen = selectionModel()->selectedIndexes();
    if (!chosen.isEmpty()) {
        block = CellRange{INT_MAX, INT_MAX, -1, -1};
        for (const QModelIndex& index : chosen) {
            const QModelIndex cell = ToModel(index);
            block.left = std::min(block.left, model_->DisplayColumn(cell.column()));
            block.right = std::max(block.right, model_->DisplayColumn(cell.column()));
            block.top = std::min(block.top, model_->ShownRow(cell.row()));
            block.bottom = std::max(block.bottom, model_->ShownRow(cell.row()));
        }
    }
    Grid().UserSelect(active, block);
}

void GridView::ReportScroll() {
    if (applying_view_) return;
    const int top = rowAt(0);
    if (top >= 0) Grid().UserScroll(model_->ShownRow(ToModel(model()->index(top, 0)).row()));
}

void GridView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QTableView::selectionChanged(selected, deselected);
    ReportSelection();
}

void GridView::keyPressEvent(QKeyEvent* event) {
    if (on_copy_ && event->matches(QKeySequence::Copy)) {
        on_copy_();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void GridView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    const int row_height = std::max(verticalHeader()->defaultSectionSize(), 1);
    Grid().UserSetVisibleRowCount(viewport()->height() / row_height);
}

void GridView::CommitEdit() {
    if (QWidget* editor = delegate_->OpenEditor()) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

// Space is the check boxes' key: it toggles a box (through the delegate), and on a text cell it starts no
// edit, so it never wipes the cell's text.
bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (trigger == AnyKeyPressed && event != nullptr && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && !(index.flags() & Qt::ItemIsUserCheckable)) {
        return false;
    }
    return QTableView::edit(index, trigger, event);
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    ReportSelection();
    model_->SetHotColumn(current.isValid() ? ToModel(current).column() : -1);
}

// The corner above the row header shows the fixed cell it stands for ("Логин" of the limits table).
bool GridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != corner_ || event->type() != QEvent::Paint || !model_->HasRowHeader() || !model_->HasColumnHeader()) {
        return QTableView::eventFilter(watched, event);
    }
    auto* corner = static_cast<QWidget*>(watched);
    QStyleOptionHeader option;
    option.initFrom(corner);
    option.rect = corner->rect();
    option.text = model_->CornerText();
    option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.position = QStyleOptionHeader::OnlyOneSection;
    QPainter painter(corner);
    corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
    return true;
}

int GridView::RowHeaderTextWidth() const {
    const QFontMetrics metrics(verticalHeader()->font());
    int widest = metrics.horizontalAdvance(model_->CornerText());
    // Bounded: a login longer than this is elided, and its tool-tip shows it whole.
    constexpr int kWidest = 240;
    const int rows = model_->rowCount();
    for (int row = 0; row < rows && widest < kWidest; ++row) {
        widest = std::max(widest, metrics.horizontalAdvance(model_->headerData(row, Qt::Vertical, Qt::DisplayRole).toString()));
    }
    const int margins = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, verticalHeader()) + 4;
    return std::min(widest, kWidest) + margins;
}

// A cell or row header whose text is cut shows the whole text as its tool-tip; texts that fit show none.
bool GridView::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QTableView::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.isValid() ? index.data(Qt::DisplayRole).toString() : QString();
    if (!text.isEmpty() && TextIsCut(text, visualRect(index).width())) {
        QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
    } else {
        QToolTip::hideText();
    }
    return true;
}

bool GridView::TextIsCut(const QString& text, int width) const {
    // A cell draws its text inside the style's focus frame margin on either side.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    if (text.contains(QLatin1Char('\n'))) return true;
    return fontMetrics().horizontalAdvance(text) > width - 2 * margin;
}

// Rows are sized by dragging a row's lower edge in the first column, where a row header would be: the
// grids that allow sizing have none.
int GridView::RowEdgeAt(const QPoint& pos) const {
    if (!Grid().Resizable || verticalHeader()->isVisible() || model()->columnCount() == 0) return -1;
    if (pos.x() < 0 || pos.x() >= columnViewportPosition(0) + columnWidth(0)) return -1;
    const int row = rowAt(pos.y() - kRowEdgeGrip);
    if (row < 0) return -1;
    const int edge = rowViewportPosition(row) + rowHeight(row);
    return std::abs(pos.y() - edge) <= kRowEdgeGrip ? row : -1;
}

void GridView::mousePressEvent(QMouseEvent* event) {
    const int row = event->button() == Qt::LeftButton ? RowEdgeAt(event->position().toPoint()) : -1;
    if (row < 0) {
        QTableView::mousePressEvent(event);
        return;
    }
    sizing_row_ = row;
    sizing_start_y_ = event->position().toPoint().y();
    sizing_start_height_ = rowHeight(row);
}

void GridView::mouseMoveEvent(QMouseEvent* event) {
    if (sizing_row_ >= 0) {
        const int height = sizing_start_height_ + event->position().toPoint().y() - sizing_start_y_;
        verticalHeader()->resizeSection(sizing_row_, std::max(2, height));
        return;
    }
    if (event->buttons() == Qt::NoButton) {
        if (RowEdgeAt(event->position().toPoint()) >= 0) {
            viewport()->setCursor(Qt::SplitVCursor);
        } else {
            viewport()->unsetCursor();
        }
    }
    QTableView::mouseMoveEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    if (sizing_row_ >= 0) {
        sizing_row_ = -1;
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

}  // namespace tarnwell
