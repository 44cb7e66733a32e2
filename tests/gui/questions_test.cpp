// The window that protects the administrator's input: the question before unsaved limits are dropped, the
// bad limits cell marked and refused, the confirmations, the outcome area, the auto-close countdown, and
// Space in the statistics table.

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QTranslator>

#include "gui/grid_view.h"
#include "gui/window_memory.h"
#include "settings/window_state.h"
#include "support/service_log.h"
#include "window_fixture.h"

namespace tarnwell::gui_testing {

class QuestionsTest : public QObject {
    Q_OBJECT

private slots:
    void unsavedLimitsAreAskedAboutBeforeTheyAreDropped();
    void aBadLimitsCellIsMarkedAndRefusedWithNothingWritten();
    void aRelativeReportGoesBesideTheProgramAndItsOutcomeStays();
    void untickingTheAutoCloseCancelsItsCountdown();
    void spaceNeverWipesAStatisticsCell();
    void windowStateIsKeptAndRestoredOnTheScreen();
    void qtsOwnTextsAreRussian();
};

namespace {

// Types the text into the limits table's cell (model row and column of the view) and ends the edit.
void EditLimitsCell(GridView* grid, int row, int col, const QString& text) {
    const QModelIndex cell = grid->model()->index(row, col);
    grid->setFocus();
    DoubleClick(grid->viewport(), grid->visualRect(cell).center());
    // The editor, whether or not the window has the keyboard again after a box closed.
    QLineEdit* editor = nullptr;
    QTRY_VERIFY((editor = grid->viewport()->findChild<QLineEdit*>()) != nullptr && editor->isVisible());
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    Type(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the delegate writes the edit back through a queued call
}

const QString kDropQuestion =
    QStringLiteral("Изменения в таблице лимитов не сохранены. Сохранить их и перезапустить службу WinGate?");

}  // namespace

// ivanov's limit edited: leaving the page asks; "Отмена" stays with the edit, "Не сохранять" goes on with
// nothing written; closing the window asks too, and "Сохранить" writes and restarts before it closes.
void QuestionsTest::unsavedLimitsAreAskedAboutBeforeTheyAreDropped() {
    Window w;
    w.Click("SBLimit");
    auto* grid = w.Find<GridView>("ASGLimit");
    EditLimitsCell(grid, 1, 1, QStringLiteral("777"));
    QCOMPARE(ToQString(w.Controls().ASGLimit.GetCellEx(2, 2)), QStringLiteral("777"));

    auto question = AnswerNextQuestion(QStringLiteral("Отмена"));
    w.Click("SBAbout");
    QCOMPARE(question->text, kDropQuestion);
    QVERIFY(question->buttons.contains(QStringLiteral("Сохранить")));
    QVERIFY(question->buttons.contains(QStringLiteral("Не сохранять")));
    QCOMPARE(w.Page(), QStringLiteral("TabSheet5"));
    QVERIFY(w.Form().LimitsEdited());

    question = AnswerNextQuestion(QStringLiteral("Не сохранять"));
    w.Click("SBAbout");
    QCOMPARE(question->text, kDropQuestion);
    QCOMPARE(w.Page(), QStringLiteral("TabSheet3"));
    QCOMPARE(w.Folder().Number("ivanov", "Limit"), 50000);
    QVERIFY(!fs::exists(w.Folder().Path() / "service.log"));

    w.Click("SBLimit");
    EditLimitsCell(grid, 1, 1, QStringLiteral("888"));
    question = AnswerNextQuestion(QStringLiteral("Отмена"));
    QVERIFY(!w.Main().close());
    QCOMPARE(question->text, kDropQuestion);
    QVERIFY(w.Main().isVisible());
    question = AnswerNextQuestion(QStringLiteral("Сохранить"));
    QVERIFY(w.Main().close());
    QCOMPARE(w.Folder().Number("ivanov", "Limit"), 888);
    QTRY_COMPARE(
        QString::fromStdString(testing_support::ServiceRunArguments(ReadFile(w.Folder().Path() / "service.log"))),
        QStringLiteral("-stop\n-start\n"));
}

// A number out of range is marked as it is typed and refused at the save, with nothing written and the
// service left alone; the error names the user and the column.
void QuestionsTest::aBadLimitsCellIsMarkedAndRefusedWithNothingWritten() {
    Window w;
    w.Click("SBLimit");
    auto* grid = w.Find<GridView>("ASGLimit");
    const QModelIndex balance = grid->model()->index(1, 2);  // ivanov's opening balance
    DoubleClick(grid->viewport(), grid->visualRect(balance).center());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    Type(editor, QStringLiteral("99999999999"));
    QVERIFY2(editor->styleSheet().contains(QStringLiteral("background")), "marked while typed");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    const QColor bad = balance.data(Qt::BackgroundRole).value<QBrush>().color();
    QCOMPARE(bad, QColor(0xFF, 0xC8, 0xC8));
    QVERIFY(grid->model()->index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color() != bad);
    const std::string before = ReadFile(w.Folder().RegPath());

    auto question = AnswerNextQuestion(QStringLiteral("Да"));
    auto box = AnswerNextBox();
    w.Click("SBSaveLim");
    QTRY_COMPARE(box->kind, QStringLiteral("ErrorBox"));
    QCOMPARE(question->text, QStringLiteral("Сохранить изменения и перезапустить службу WinGate?"));
    QCOMPARE(box->text, QStringLiteral("'99999999999' is not a valid integer value.\n"
                                       "Пользователь ivanov, графа \"Открыт баланс\""));
    QTest::qWait(100);
    QVERIFY(ReadFile(w.Folder().RegPath()) == before);
    QVERIFY(!fs::exists(w.Folder().Path() / "service.log"));
}

// "Сохранить HTML" with the relative "report.htm": the page goes beside the program, not into the
// viewer's folder (the current one, "logs"); the outcome area names it whole and keeps it while the mouse
// moves over other controls.
void QuestionsTest::aRelativeReportGoesBesideTheProgramAndItsOutcomeStays() {
    Window w;
    w.Click("SBSaveHTML");
    QVERIFY(fs::exists(w.Folder().Path() / "report.htm"));
    QVERIFY(!fs::exists(w.Logs() / "report.htm"));
    auto* outcome = w.Find<QLabel>("StatBarOutcome");
    const QString told =
        QStringLiteral("HTML-отчёт сохранён: ") + QString::fromStdString((w.Folder().Path() / "report.htm").string());
    QCOMPARE(outcome->text(), told);
    for (const char* name : {"ASGRead", "SBToStat", "SBLimit", "SBSend1"}) QTest::mouseMove(w.Find(name));
    QTRY_COMPARE(w.StatusText(), QStringLiteral("Разослать наработанный трафик пользователям"));
    QCOMPARE(outcome->text(), told);
}

// Autorun's report, then the countdown in the outcome area; unticking "Закрыть через 15 с. после
// автозапуска" stops it and the window stays.
void QuestionsTest::untickingTheAutoCloseCancelsItsCountdown() {
    Start start;
    start.settings.html = true;
    start.settings.auto_close = true;
    Window w(start);
    QVERIFY(w.Host().CloseTimerRunning());
    auto* outcome = w.Find<QLabel>("StatBarOutcome");
    const QString done =
        QStringLiteral("HTML-отчёт сохранён: ") + QString::fromStdString((w.Folder().Path() / "report.htm").string());
    QCOMPARE(outcome->text(), done + QStringLiteral("; закрытие через 15 с."));
    QTRY_COMPARE_WITH_TIMEOUT(outcome->text(), done + QStringLiteral("; закрытие через 14 с."), 3000);

    w.Click("SpeedButton4");
    auto* list = w.Find<QListWidget>("ChLBOther");
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(!w.Controls().ChLBOther.Checked(0));
    QVERIFY(!w.Host().CloseTimerRunning());
    QCOMPARE(outcome->text(), done + QStringLiteral("; автоматическое закрытие отменено"));
    QTest::qWait(1500);
    QVERIFY(!w.Host().QuitQueued());
}

// Space is the boxes' key: on a login cell it opens no editor and leaves the text as it was.
void QuestionsTest::spaceNeverWipesAStatisticsCell() {
    Window w;
    auto* grid = w.Find<GridView>("ASGRead");
    const QModelIndex login = grid->model()->index(1, 1);
    QCOMPARE(login.data().toString(), QStringLiteral("ivanov"));
    grid->setFocus();
    grid->setCurrentIndex(login);
    QTest::keyClick(grid, Qt::Key_Space);
    QVERIFY(!qobject_cast<QLineEdit*>(QApplication::focusWidget()));
    QCOMPARE(ToQString(w.Controls().ASGRead.GetCellEx(1, 2)), QStringLiteral("ivanov"));
    // Other keys still start an edit, as the table allows.
    QTest::keyClick(grid, Qt::Key_X);
    QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
}

// The window closed moved, resized, with a splitter dragged and the statistics sorted: the next window
// opens so, whatever the auto-save box says; a place off the screen comes back onto it.
void QuestionsTest::windowStateIsKeptAndRestoredOnTheScreen() {
    {
        Window w;
        // Not below the least the pages need in the fonts drawn, which on the test screen is as wide as the
        // screen allows: the height tells the size kept.
        const QSize size = w.Main().minimumSize().expandedTo(QSize(700, 420)) + QSize(0, 20);
        w.Main().resize(size);
        w.Main().move(30, 40);
        auto* splitter = w.Find<QSplitter>("Splitter1");
        QVERIFY(splitter);
        const QList<int> sizes = splitter->sizes();
        splitter->setSizes({150, sizes[0] + sizes[1] - 150});
        auto* grid = w.Find<GridView>("ASGRead");
        grid->sortByColumn(1, Qt::DescendingOrder);
        KeepWindowState(w.Main(), w.Folder().Path().string());
        const WindowState kept = ReadWindowState(w.Folder().Path().string());
        QCOMPARE(kept.geometry->width, size.width());
        QCOMPARE(kept.splitters.front(), 150);
        QCOMPARE(kept.sort_column, 1);
        QVERIFY(kept.sort_descending);
        QVERIFY(ReadFile(w.Folder().SettingsPath()).find("Window") == std::string::npos);

        Window again;
        fs::copy_file(w.Folder().Path() / "window.ini", again.Folder().Path() / "window.ini");
        RestoreWindowState(again.Main(), again.Folder().Path().string());
        QCOMPARE(again.Main().size(), size);
        QCOMPARE(again.Find<QSplitter>("Splitter1")->sizes().front(), 150);
        auto* sorted = again.Find<GridView>("ASGRead");
        QCOMPARE(sorted->horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(sorted->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    }
    // Closed at 144 dpi on a larger screen, far to the right: opened here, it lies whole on the screen.
    Window w;
    WindowState distant;
    distant.geometry = WindowRect{5000, 3000, 966, 563};
    SaveWindowState(distant, w.Folder().Path().string());
    RestoreWindowState(w.Main(), w.Folder().Path().string());
    const QRect area = w.Main().screen()->availableGeometry();
    QVERIFY2(area.contains(QRect(w.Main().pos(), w.Main().size()).adjusted(0, 0, -1, -1)) ||
                 w.Main().width() >= area.width(),
             qPrintable(QStringLiteral("%1,%2").arg(w.Main().x()).arg(w.Main().y())));
}

// The file dialogs and the text fields' edit menu speak Russian: Qt's translations are loaded.
void QuestionsTest::qtsOwnTextsAreRussian() {
    QTranslator translator;
    QVERIFY(LoadRussianQtTexts(translator));
    QCOMPARE(translator.translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    QVERIFY(!translator.translate("QFileDialog", "File &name:").isEmpty());
}

}  // namespace tarnwell::gui_testing

int RunQuestionsTests(int argc, char** argv) {
    tarnwell::gui_testing::QuestionsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "questions_test.moc"
