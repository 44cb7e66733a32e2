// Find, filter and copy in the window: Ctrl+F opens the find bar above the table of the page shown, Enter
// and F3 select the next cell holding the text; the filter box above the viewer's table shows only the
// rows holding its text; Ctrl+C puts the selected cells on the clipboard.

#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>

#include "gui/grid_view.h"
#include "window_fixture.h"

namespace tarnwell::gui_testing {

namespace {

const std::pair<std::string, std::string> kDayLog = {"day.log",
                                                     "time\tuser\turl\r\n10:00\tivanov\thttp://a/\r\n"
                                                     "10:05\tpetrov\thttp://b/\r\n10:07\tivanov\thttp://c/\r\n"};

QWidget* Focused() { return QApplication::focusWidget(); }

}  // namespace

class FindTest : public QObject {
    Q_OBJECT

private slots:
    void findBarSelectsTheMatchOnEachTablePage();
    void filterBoxShowsOnlyTheRowsHoldingItsText();
    void ctrlCCopiesTheSelectedCells();
};

void FindTest::findBarSelectsTheMatchOnEachTablePage() {
    Window w;
    auto* bar = w.Find("PFind");
    QVERIFY(!bar->isVisible());
    // Not on a page without a table.
    w.Click("SpeedButton4");
    QTest::keyClick(Focused(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!bar->isVisible());

    w.Click("SBToStat");
    auto* grid = w.Find<GridView>("ASGRead");
    QTest::keyClick(Focused(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QVERIFY(grid->parentWidget()->isAncestorOf(bar));
    QCOMPARE(Focused(), w.Find("EFind"));
    Type(Focused(), QStringLiteral("ПЕТРОВ"));  // letter case ignored, Cyrillic too
    QTest::keyClick(Focused(), Qt::Key_Return);
    const QModelIndex found = grid->ToModel(grid->currentIndex());
    QVERIFY(found.isValid());
    QCOMPARE(found.data().toString(), QStringLiteral("Петров Пётр"));
    QVERIFY(grid->selectionModel()->isSelected(grid->currentIndex()));

    // The same bar over the limits table, where F3 searches again.
    w.Click("SBLimit");
    auto* limits = w.Find<GridView>("ASGLimit");
    QTRY_VERIFY(bar->isVisible());
    QVERIFY(limits->parentWidget()->isAncestorOf(bar));
    w.Controls().EFind.Text = "50000";
    w.Main().Refresh();
    QTest::keyClick(Focused(), Qt::Key_F3);
    QCOMPARE(limits->currentIndex().data().toString(), QStringLiteral("50000"));

    // Escape closes it and gives the table the focus.
    w.Find("EFind")->setFocus();
    QTest::keyClick(Focused(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QCOMPARE(Focused(), limits);
}

void FindTest::filterBoxShowsOnlyTheRowsHoldingItsText() {
    Start start;
    start.logs = {kDayLog};
    Window w(start);
    w.Click("SpeedButton3");
    auto* files = w.Find<QListWidget>("FLB1");
    DoubleClick(files->viewport(), files->visualItemRect(files->item(0)).center());
    auto* grid = w.Find<GridView>("SG1");
    QCOMPARE(grid->model()->rowCount(), 3);

    auto* filter = w.Find<QLineEdit>("EFilter");
    filter->setFocus();
    Type(filter, QStringLiteral("IVANOV"));
    QTest::keyClick(filter, Qt::Key_Return);
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->model()->index(1, 2).data().toString(), QStringLiteral("http://c/"));
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("user"));
    // Emptied: every row again at once.
    filter->selectAll();
    QTest::keyClick(filter, Qt::Key_Delete);
    QCOMPARE(grid->model()->rowCount(), 3);
}

void FindTest::ctrlCCopiesTheSelectedCells() {
    Window w;
    auto* grid = w.Find<GridView>("ASGRead");
    QAbstractItemModel* model = grid->model();
    grid->setFocus();
    grid->setCurrentIndex(model->index(1, 1));
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ivanov\tИванов Иван\r\n"));
}

}  // namespace tarnwell::gui_testing

int RunFindTests(int argc, char** argv) {
    tarnwell::gui_testing::FindTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "find_test.moc"
