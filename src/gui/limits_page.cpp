// The limits page: the limits grid with its pop-up menu, and under it the three buttons and the default
// limit.

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

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
    GridView* grid = binder.TableView(c.ASGLimit, "ASGLimit", QStringLiteral("Лимиты"));
    layout->addWidget(grid, 1);

    // PopupMenu1, opened by a right click on the grid (or the menu key).
    auto* menu = new QMenu(grid);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [&](Button& item, const char* name) {
        QAction* action = menu->addAction(ToQString(item.Caption));
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, menu, [&binder, &item] { binder.Act([&] { item.Click(); }); });
        binder.OnRefresh([action, &item] { action->setEnabled(item.Enabled); });
    };
    add(c.NRead, "NRead");
    add(c.NSet, "NSet");
    add(c.NSaveLim, "NSaveLim");
    menu->addSeparator();
    add(c.NSaveEn, "NSaveEn");
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, menu,
                     [grid, menu](const QPoint& at) { menu->popup(grid->viewport()->mapToGlobal(at)); });

    auto* box = new QGroupBox;
    box->setObjectName(QStringLiteral("GBLimitButtons"));
    box->setFixedHeight(37);
    auto* box_layout = new QHBoxLayout(box);
    box_layout->setContentsMargins(4, 4, 4, 4);
    for (auto [button, name] :
         {std::pair<Button*, const char*>{&c.SBRead, "SBRead"}, {&c.SBSet, "SBSet"}, {&c.SBSaveLim, "SBSaveLim"}}) {
        QPushButton* widget = binder.PushButton(*button, name);
        widget->setFixedSize(120, 25);
        box_layout->addWidget(widget);
    }
    box_layout->addWidget(binder.SpinBox(c.SEDefault, "SEDefault"));
    box_layout->addStretch(1);
    layout->addWidget(box);
    return page;
}

}  // namespace tarnwell
