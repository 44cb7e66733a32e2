// The limits page: the limits grid with its pop-up menu, and under it the three buttons and the default
// limit.

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "form/accelerators.h"
#include "form/group_frames.h"
#include "form/widget_names.h"
#include "gui/control_binder.h"
#include "gui/grid_view.h"
#include "gui/pages.h"
#include "gui/qt_text.h"

namespace tarnwell {

QWidget* MakeLimitsPage(ControlBinder& binder) {
    FormControls& c = binder.Controls();
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    GridView* grid = binder.TableView(c.ASGLimit);
    layout->addWidget(grid, 1);

    // PopupMenu1, opened by a right click on the grid (or the menu key).
    auto* menu = new QMenu(grid);
    menu->setObjectName(ToQString(window_parts::kLimitsMenu.Name));
    for (Button* item : c.LimitsMenu()) {
        if (item == nullptr) {
            menu->addSeparator();
            continue;
        }
        // The underlined letter picks the item while the menu is open.
        QAction* action = menu->addAction(ToQString(AcceleratedCaption(*item, item->Caption)));
        action->setObjectName(ToQString(item->Name));
        QObject::connect(action, &QAction::triggered, menu, [&binder, item] { binder.Act([&] { item->Click(); }); });
        binder.OnRefresh([action, item] { action->setEnabled(item->Enabled); });
    }
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, menu,
                     [grid, menu](const QPoint& at) { menu->popup(grid->viewport()->mapToGlobal(at)); });

    auto* box = new QGroupBox(ToQString(group_frames::kLimitButtons.Caption));
    box->setObjectName(ToQString(group_frames::kLimitButtons.Name));
    // As high as its buttons need in the font drawn (37 pixels as designed).
    box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* box_layout = new QHBoxLayout(box);
    box_layout->setContentsMargins(4, 4, 4, 4);
    for (Button* button : {&c.SBRead, &c.SBSet, &c.SBSaveLim}) {
        QPushButton* widget = binder.PushButton(*button);
        // 120 x 25 as designed, or wider where the caption needs it.
        widget->setMinimumSize(120, 25);
        widget->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        box_layout->addWidget(widget);
    }
    box_layout->addWidget(binder.SpinBox(c.SEDefault));
    box_layout->addStretch(1);
    layout->addWidget(box);
    return page;
}

}  // namespace tarnwell
