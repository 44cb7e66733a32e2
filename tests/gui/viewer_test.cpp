// The viewer page: the browser's controls, the double click that loads a file, the save-as flow.

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>

#include "gui/grid_view.h"
#include "window_fixture.h"

namespace tarnwell::gui_testing {

namespace {

const std::pair<std::string, std::string> kDayLog = {"day.log",
                                                     "time\tuser\turl\r\n10:00\tivanov\thttp://a/\r\n"
                                                     "10:05\tpetrov\thttp://b/?q=<x>\r\n"};

QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

}  // namespace

class ViewerTest : public QObject {
    Q_OBJECT

private slots:
    void doubleClickInTheFileListLoadsTheFile();
    void folderTreeAndFilterChooseWhatTheListShows();
    void saveAsFollowsTheDialogForBothTypes();
    void cancelButtonStopsASaveMidWay();
    void newlyLoadedFileStartsAtItsTop();
};

void ViewerTest::doubleClickInTheFileListLoadsTheFile() {
    Start start;
    start.logs = {kDayLog, {"notes.txt", "x"}};
    Window w(start);
    w.Click("SpeedButton3");
    QCOMPARE(w.Page(), QStringLiteral("TabSheet1"));
    auto* files = w.Find<QListWidget>("FLB1");
    QCOMPARE(Items(files), QStringList({QStringLiteral("day.log"), QStringLiteral("notes.txt")}));

    DoubleClick(files->viewport(), files->visualItemRect(files->item(0)).center());
    const QString path = QString::fromStdString((fs::canonical(w.Logs()) / "day.log").string());
    QCOMPARE(w.Find<QLineEdit>("ECurrentFile")->text(), path);
    auto* grid = w.Find<GridView>("SG1");
    QAbstractItemModel* model = grid->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->columnCount(), 3);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("user"));
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("http://b/?q=<x>"));
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(!w.Find<QProgressBar>("CG1")->isVisible());

    // Enter on the list opens the selected file as well: the keyboard's way.
    files->setFocus();
    files->setCurrentRow(1);
    QTest::keyClick(files, Qt::Key_Return);
    QCOMPARE(w.Find<QLineEdit>("ECurrentFile")->text(),
             QString::fromStdString((fs::canonical(w.Logs()) / "notes.txt").string()));
    // A file of one line has no header row: its line is the table's only row.
    QCOMPARE(model->rowCount(), 1);
    QVERIFY(grid->horizontalHeader()->isHidden());
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("x"));
}

void ViewerTest::folderTreeAndFilterChooseWhatTheListShows() {
    Start start;
    start.logs = {kDayLog, {"notes.txt", "x"}};
    Window w(start);
    fs::create_directories(w.Logs() / "older");
    WriteFile(w.Logs() / "older" / "march.log", "a\tb\r\n");
    w.Click("SpeedButton3");
    auto* files = w.Find<QListWidget>("FLB1");

    auto* filter = w.Find<QComboBox>("FilterComboBox1");
    QCOMPARE(filter->currentText(), QStringLiteral("All files (*.*)"));
    filter->setFocus();
    QTest::keyClick(filter, Qt::Key_End);  // "Log files (*.log)"
    QCOMPARE(Items(files), QStringList({QStringLiteral("day.log")}));

    auto* tree = w.Find<QTreeView>("CDirO");
    auto* folders = qobject_cast<QFileSystemModel*>(tree->model());
    QVERIFY(folders);
    QCOMPARE(folders->filePath(tree->currentIndex()), QString::fromStdString(fs::canonical(w.Logs()).string()));
    // The user moves the tree to the subfolder: the list shows it, through the filter.
    tree->setCurrentIndex(folders->index(QString::fromStdString((fs::canonical(w.Logs()) / "older").string())));
    QCOMPARE(Items(files), QStringList({QStringLiteral("march.log")}));
    QCOMPARE(fs::current_path(), fs::canonical(w.Logs() / "older"));
}

void ViewerTest::saveAsFollowsTheDialogForBothTypes() {
    Start start;
    start.logs = {kDayLog};
    Window w(start);
    w.Click("SpeedButton3");
    auto* files = w.Find<QListWidget>("FLB1");
    DoubleClick(files->viewport(), files->visualItemRect(files->item(0)).center());
    const fs::path logs = fs::canonical(w.Logs());

    struct Seen {
        QString name;
        QString type;
    };
    auto answer = [](Seen& seen, bool switch_type, bool confirm) {
        AnswerNextModal([&seen, switch_type, confirm](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return;
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            auto* type = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            seen = Seen{name->text(), type->currentText()};
            if (switch_type) QTest::keyClick(type, Qt::Key_Down);
            QTest::keyClick(name, confirm ? Qt::Key_Return : Qt::Key_Escape);
        });
    };

    Seen first, second, third;
    answer(first, false, true);
    w.Click("SBSave");
    QCOMPARE(first.name, QStringLiteral("day.log.htm"));
    QCOMPARE(first.type, QStringLiteral("Сохранить в формате HTML(*.htm)"));
    const std::string page = ReadFile(logs / "day.log.htm");
    QVERIFY(page.rfind("<html>", 0) == 0);
    QVERIFY(page.find("http://b/?q=") != std::string::npos);
    // The file list shows the file saved into its folder.
    QTRY_VERIFY(Items(files).contains(QStringLiteral("day.log.htm")));

    answer(second, true, true);
    w.Click("SBSave");
    QCOMPARE(second.name, QStringLiteral("day.log.htm"));
    QCOMPARE(w.Form().SD1.DefaultExt, std::string("xls"));
    QCOMPARE(w.Form().SD1.FilterIndex, 2);
    // The dialog changes the name's extension with the type; the workbook goes where it says.
    const std::string workbook = ReadFile(logs / "day.log.xls");
    QVERIFY(workbook.rfind("\xD0\xCF\x11\xE0", 0) == 0);

    answer(third, false, false);
    w.Click("SBSave");
    QCOMPARE(third.name, QStringLiteral("day.log.xls"));
    QCOMPARE(third.type, QStringLiteral("Сохранить в формате Excel(*.xls)"));
}

// A log whose save takes many steps of the gauge: the user clicks the cancel button under the gauge once it
// has moved, or presses Escape. The old file stays as it was and nothing of the new one is left; the gauge
// and the button go away again.
void ViewerTest::cancelButtonStopsASaveMidWay() {
    std::string log = "time\tuser\turl\r\n";
    for (int i = 0; i < 150'000; ++i) {
        log += "10:" + std::to_string(i % 60) + "\tuser" + std::to_string(i % 97) + "\thttp://example.org/page/" +
               std::to_string(i) + "\r\n";
    }
    Start start;
    start.logs = {{"big.log", log}};
    Window w(start);
    w.Click("SpeedButton3");
    auto* files = w.Find<QListWidget>("FLB1");
    DoubleClick(files->viewport(), files->visualItemRect(files->item(0)).center());
    QCOMPARE(w.Controls().SG1.RowCount(), 150'001);
    auto* gauge = w.Find<QProgressBar>("CG1");
    auto* cancel = w.Find<QPushButton>("SBCancel");
    QVERIFY(!cancel->isVisible());
    QCOMPARE(cancel->text(), QStringLiteral("О&тмена"));
    const fs::path logs = fs::canonical(w.Logs());

    struct Case {
        const char* target;
        bool switch_type;
        bool escape;
    };
    for (const Case& c : {Case{"big.log.htm", false, false}, Case{"big.log.xls", true, false},
                          Case{"big.log.xls", false, true}}) {
        WriteFile(logs / c.target, "old");
        AnswerNextModal([&c](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return;
            if (c.switch_type) QTest::keyClick(dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")), Qt::Key_Down);
            QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), Qt::Key_Return);
        });
        // The old file is there: the save asks before it goes over it.
        auto question = AnswerNextQuestion(QStringLiteral("Да"));
        // The events the save lets through: once the gauge has moved, the user's click (or key).
        int stopped_at = -1;
        QTimer user;
        user.setInterval(1);
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (stopped_at >= 0 || !cancel->isVisible() || gauge->value() <= 0) return;
            stopped_at = gauge->value();
            if (c.escape) {
                // The window the closed dialog gives the keyboard back to, as a desktop's window manager does
                // (the offscreen platform leaves no window active).
                w.Main().activateWindow();
                if (!QTest::qWaitForWindowActive(&w.Main())) qWarning("the window did not become active");
                QTest::keyClick(&w.Main(), Qt::Key_Escape);
            } else {
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
        user.start();
        w.Click("SBSave");
        user.stop();
        QCOMPARE(question->text, QStringLiteral("Файл %1 уже существует. Заменить его?")
                                     .arg(QString::fromStdString((logs / c.target).string())));
        QVERIFY2(stopped_at > 0 && stopped_at < 1000, c.target);
        QVERIFY2(ReadFile(logs / c.target) == "old", c.escape ? "Escape" : c.target);
        QVERIFY(!fs::exists(logs / (std::string(c.target) + ".tarnwell.tmp")));
        QVERIFY(!fs::exists(w.Folder().Path() / "grid.tmp"));
        QVERIFY(!gauge->isVisible());
        QVERIFY(!cancel->isVisible());
    }
}

// A log looked at further down, then another loaded: the new one shows from its first line, nothing
// selected.
void ViewerTest::newlyLoadedFileStartsAtItsTop() {
    std::string log = "time\tuser\r\n";
    for (int i = 0; i < 500; ++i) log += std::to_string(i) + "\tuser" + std::to_string(i) + "\r\n";
    Start start;
    start.logs = {{"a.log", log}, {"b.log", log}};
    Window w(start);
    w.Click("SpeedButton3");
    auto* files = w.Find<QListWidget>("FLB1");
    auto* grid = w.Find<GridView>("SG1");
    DoubleClick(files->viewport(), files->visualItemRect(files->item(0)).center());
    QCOMPARE(grid->model()->rowCount(), 500);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(grid->verticalScrollBar()->value() > 0);

    DoubleClick(files->viewport(), files->visualItemRect(files->item(1)).center());
    QCOMPARE(grid->verticalScrollBar()->value(), 0);
    QVERIFY(!grid->currentIndex().isValid());
    QCOMPARE(grid->rowAt(0), 0);
}

}  // namespace tarnwell::gui_testing

int RunViewerTests(int argc, char** argv) {
    tarnwell::gui_testing::ViewerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "viewer_test.moc"
