#include "gui/find_bar_widget.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

#include "form/accelerators.h"
#include "gui/control_binder.h"
#include "gui/grid_view.h"
#include "gui/qt_text.h"

namespace tarnwell {

FindBarWidget::FindBarWidget(ControlBinder& binder, QWidget* shortcuts_owner)
    : QWidget(shortcuts_owner), binder_(binder) {
    FormControls& c = binder.Controls();
    binder.Bind(this, c.PFind);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 2, 3, 2);
    layout->setSpacing(3);
    text_ = binder.LineEdit(c.EFind);
    layout->addWidget(binder.CaptionStrip(c.EFind, c.EFind.Label, text_));
    layout->addWidget(text_, 1);
    layout->addWidget(binder.PushButton(c.SBFindNext));
    layout->addWidget(binder.PushButton(c.SBFindPrev));
    auto* whole = new QCheckBox(ToQString(AcceleratedCaption(c.CBWholeCell, c.CBWholeCell.Caption)));
    binder.Bind(whole, c.CBWholeCell);
    QObject::connect(whole, &QCheckBox::clicked, whole, [&binder, &c] { binder.Act([&] { c.CBWholeCell.UserToggle(); }); });
    binder.OnRefresh([whole, &c] {
        if (whole->isChecked() != c.CBWholeCell.Checked) whole->setChecked(c.CBWholeCell.Checked);
    });
    layout->addWidget(whole);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setVisible(c.PFind.Visible);

    auto* open = new QShortcut(QKeySequence::Find, shortcuts_owner);
    QObject::connect(open, &QShortcut::activated, this, [this, &c] {
        binder_.Act([&] { c.PFind.UserOpen(); });
        if (!c.PFind.Visible) return;
        text_->setFocus(Qt::ShortcutFocusReason);
        text_->selectAll();
    });
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    close->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(close, &QShortcut::activated, this, [this, &c] {
        QWidget* table = PageTableView();
        binder_.Act([&] { c.PFind.UserClose(); });
        if (table) table->setFocus(Qt::ShortcutFocusReason);
    });
    const auto search_key = [&](const QKeySequence& keys, Button& button) {
        auto* shortcut = new QShortcut(keys, shortcuts_owner);
        QObject::connect(shortcut, &QShortcut::activated, this, [this, &c, &button] {
            if (c.PFind.Visible) binder_.Act([&] { button.Click(); });
        });
    };
    search_key(QKeySequence::FindNext, c.SBFindNext);
    search_key(QKeySequence::FindPrevious, c.SBFindPrev);
    binder.OnRefresh([this] { Follow(); });
}

QWidget* FindBarWidget::PageTableView() const {
    FormControls& c = binder_.Controls();
    const GridControl* table = c.PageTable(c.PC1.ActivePageIndex());
    for (GridView* view : binder_.Grids()) {
        if (&view->Grid() == table) return view;
    }
    return nullptr;
}

void FindBarWidget::Follow() {
    QWidget* table = PageTableView();
    if (!table || !table->parentWidget()) return;
    auto* layout = qobject_cast<QBoxLayout*>(table->parentWidget()->layout());
    if (!layout || layout->indexOf(this) >= 0) return;
    layout->insertWidget(layout->indexOf(table), this);
    setVisible(binder_.Controls().PFind.Visible);
}

}  // namespace tarnwell
