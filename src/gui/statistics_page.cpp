// The statistics page: the statistics grid, and under it the report's file name, the precision, the
// report and mail buttons and the display unit.

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/control_binder.h"

#include <QLabel>
#include "gui/grid_view.h"
#include "gui/pages.h"
#include "gui/qt_text.h"
#include "gui/statistics_sort.h"

namespace tarnwell {

QWidget* MakeStatisticsPage(ControlBinder& binder) {
    FormControls& c = binder.Controls();
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    GridView* grid = binder.TableView(c.ASGRead);
    // A click on a column header sorts the rows shown; the table itself keeps its order.
    grid->SetProxy(new StatisticsSort(grid->Model(), grid));
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grid->setSortingEnabled(true);
    layout->addWidget(grid, 1);

    auto* bar = new QWidget;
    // As high as its two lines need in the font drawn (59 pixels as designed).
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* bar_layout = new QGridLayout(bar);
    bar_layout->setContentsMargins(3, 2, 3, 2);
    bar_layout->setHorizontalSpacing(3);
    bar_layout->setVerticalSpacing(2);
    QLineEdit* path = binder.LineEdit(c.EHTMLPath, /*path=*/true);
    bar_layout->addWidget(binder.CaptionStrip(c.EHTMLPath, c.EHTMLPath.Label, path), 0, 0);
    bar_layout->addWidget(path, 0, 1, 1, 3);
    QPushButton* pick = binder.PushButton(c.SBEditPathHTML);
    pick->setFixedWidth(25);
    bar_layout->addWidget(pick, 0, 4);
    QSpinBox* precision = binder.SpinBox(c.CSETochn);
    bar_layout->addWidget(binder.CaptionStrip(c.CSETochn, c.CSETochn.Label, precision), 1, 0);
    bar_layout->addWidget(precision, 1, 1);
    bar_layout->addWidget(binder.PushButton(c.SBSaveHTML), 1, 2);
    bar_layout->addWidget(binder.PushButton(c.SBSend1), 1, 3, 1, 2);
    bar_layout->addWidget(binder.GroupBox(c.RG1), 0, 5, 2, 1);
    bar_layout->setColumnStretch(1, 1);
    bar_layout->setColumnStretch(3, 1);
    layout->addWidget(bar);
    return page;
}

}  // namespace tarnwell
