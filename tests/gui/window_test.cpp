// The window over the program: navigation, hints, the grids' editing, the limits menu, the settings page,
// the autorun run that closes itself, a switch run with a display.

#include <QAction>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

#include <QAccessible>

#include "gui/grid_view.h"
#include "scripted_server.h"
#include "support/service_log.h"
#include "window_fixture.h"

namespace tarnwell::gui_testing {

// Stands for the desktop's handler of links: notes what the window asks it to open.
class LinkCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened << url; }
};

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void navigationSavesFirstAndAFailedSaveKeepsThePage();
    void hintsGoToTheStatusBarAndTipsWhereMarked();
    void sendBoxTickedInTheGridIsStoredByTheNextPageChange();
    void limitEditedInTheGridIsSavedWithTheRestart();
    void limitsMenuRunsItsHandlers();
    void thirdAutorunItemEnablesTheAddressEdit();
    void autorunRunClosesTheWindowItself();
    void gridsAreReadAgainOnlyWhenTheyChanged();
    void jobControlsAreDisabledWhileAHandlerRuns();
    void switchRunsItsJobAndEndsWithADisplay();
    void lowWindowScrollsTheNavigationColumn();
    void textWidthsStayWithinTheirBound();
    void statisticsSortInTheViewOnly();
    void hiDpiScreensScaleTheDesignedSizes();
    void typedPrecisionReloadsTheTableAndKeepsTheFocus();
    void gridsDrawBandsTheHotHeaderAndTheirSizing();
    void aboutLinksGoToTheDesktopsHandler();
    void radioButtonsSelectTheirOwnItems();
    void mailRunShowsItsOutcomeApartFromTheHints();
};

void WindowTest::navigationSavesFirstAndAFailedSaveKeepsThePage() {
    Start start;
    start.settings.auto_save = true;
    Window w(start);
    QCOMPARE(w.Page(), QStringLiteral("TabSheet4"));
    QCOMPARE(w.Find<QAbstractItemView>("ASGRead")->model()->index(1, 1).data().toString(), QStringLiteral("ivanov"));

    w.Click("SBLimit");
    QCOMPARE(w.Page(), QStringLiteral("TabSheet5"));
    QCOMPARE(w.Find<QAbstractItemView>("ASGLimit")->model()->headerData(1, Qt::Vertical).toString(),
             QStringLiteral("ivanov"));
    QVERIFY(ReadFile(w.Folder().SettingsPath()).find("[MCont]") != std::string::npos);

    // A folder in place of settings.ini: the save fails, its error is shown, the page stays.
    fs::remove(w.Folder().SettingsPath());
    fs::create_directory(w.Folder().SettingsPath());
    auto box = AnswerNextBox();
    w.Click("SBAbout");
    QCOMPARE(box->kind, QStringLiteral("ErrorBox"));
    QCOMPARE(box->title, QStringLiteral("Tarnwell"));
    QVERIFY2(box->text.contains(QStringLiteral("settings.ini")), qPrintable(box->text));
    QCOMPARE(w.Page(), QStringLiteral("TabSheet5"));

    // Every button of the column goes to its page.
    fs::remove(w.Folder().SettingsPath());
    const std::pair<const char*, const char*> buttons[] = {{"SpeedButton3", "TabSheet1"},
                                                           {"SpeedButton4", "TabSheet2"},
                                                           {"SBToStat", "TabSheet4"},
                                                           {"SBLimit", "TabSheet5"},
                                                           {"SBAbout", "TabSheet3"}};
    for (const auto& [button, page] : buttons) {
        w.Find<QToolButton>(button)->click();
        QCOMPARE(w.Page(), QString::fromLatin1(page));
    }
}

void WindowTest::hintsGoToTheStatusBarAndTipsWhereMarked() {
    Window w;
    QTest::mouseMove(w.Find("SBSend1"));
    QTRY_COMPARE(w.StatusText(), QStringLiteral("Разослать наработанный трафик пользователям"));
    QVERIFY(w.Find("SBSend1")->toolTip().isEmpty());

    // Inside a control without a hint of its own: the enclosing control's (a radio button of RG1).
    QTest::mouseMove(w.Find("RG1.2"));
    QTRY_COMPARE(w.StatusText(), QStringLiteral("Рaзмерность отображения трафика"));
    QVERIFY(w.Find("RG1")->toolTip().isEmpty());

    w.Click("SpeedButton4");
    QLineEdit* host = w.Find<QLineEdit>("EHost");
    QTest::mouseMove(host);
    QTRY_COMPARE(w.StatusText(), QStringLiteral("Адрес сервера почты(IP или DNS) "));
    QCOMPARE(host->toolTip(), QStringLiteral("Адрес сервера почты(IP или DNS) "));
    QCOMPARE(w.Find("ChLBRun")->toolTip(), QStringLiteral("Автозапуск"));

    // The caption strip of EHost, inside its group box: no enclosing control has a hint.
    QLabel* strip = nullptr;
    for (QLabel* label : w.Main().findChildren<QLabel*>()) {
        if (label->buddy() == host) strip = label;
    }
    QVERIFY(strip);
    QCOMPARE(strip->text(), QStringLiteral("&Машина:"));
    QTest::mouseMove(strip);
    QTRY_COMPARE(w.StatusText(), QString());
    QCOMPARE(ToQString(w.Controls().StatBar.Text), QString());
}

void WindowTest::sendBoxTickedInTheGridIsStoredByTheNextPageChange() {
    Start start;
    start.settings.auto_save = true;
    Window w(start);
    auto* grid = w.Find<GridView>("ASGRead");
    QAbstractItemModel* model = grid->model();
    // Rows: system, ivanov (not to be sent), petrov (sent), Сумма.
    const QModelIndex ivanov = model->index(1, 0);
    const QModelIndex petrov = model->index(2, 0);
    QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("ivanov"));
    QCOMPARE(ivanov.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(petrov.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));

    // A click anywhere on the cell ticks the box; Space on a cell toggles it too.
    const QRect cell = grid->visualRect(ivanov);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 3, cell.center().y()));
    QCOMPARE(ivanov.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    grid->setFocus();
    grid->setCurrentIndex(petrov);
    QTest::keyClick(grid, Qt::Key_Space);
    QCOMPARE(petrov.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    bool state = false;
    QVERIFY(w.Controls().ASGRead.GetCheckBoxState(0, 2, state) && state);
    QCOMPARE(w.Folder().Number("ivanov", "SendMail"), 0);

    // The next page change saves them, auto-save being on.
    w.Click("SpeedButton4");
    QCOMPARE(w.Folder().Number("ivanov", "SendMail"), 1);
    QCOMPARE(w.Folder().Number("petrov", "SendMail"), 0);

    // Loaded again from the database, the table shows the stored boxes.
    w.Click("SBToStat");
    QCOMPARE(model->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
}

void WindowTest::limitEditedInTheGridIsSavedWithTheRestart() {
    Window w;
    w.Click("SBLimit");
    auto* grid = w.Find<GridView>("ASGLimit");
    QAbstractItemModel* model = grid->model();
    // ivanov's limit: grid row 2, display column 2; the login column is the row header.
    const QModelIndex limit = model->index(1, 1);
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Лимит"));
    QCOMPARE(limit.data().toString(), QStringLiteral("50000"));
    DoubleClick(grid->viewport(), grid->visualRect(limit).center());
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(qobject_cast<QLineEdit*>(editor));
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("777"));
    // Pressing the save button writes the open edit first, and asks before the restart.
    auto question = AnswerNextQuestion(QStringLiteral("Да"));
    w.Click("SBSaveLim");
    QCOMPARE(question->text, QStringLiteral("Сохранить изменения и перезапустить службу WinGate?"));
    QCOMPARE(question->buttons.size(), 2);
    QCOMPARE(ToQString(w.Controls().ASGLimit.GetCellEx(2, 2)), QStringLiteral("777"));
    QCOMPARE(w.Folder().Number("ivanov", "Limit"), 777);
    QTRY_COMPARE(
        QString::fromStdString(testing_support::ServiceRunArguments(ReadFile(w.Folder().Path() / "service.log"))),
        QStringLiteral("-stop\n-start\n"));
    QCOMPARE(w.StatusText(), QString());
}

void WindowTest::limitsMenuRunsItsHandlers() {
    Window w;
    w.Click("SBLimit");
    auto* grid = w.Find<GridView>("ASGLimit");
    QAbstractItemModel* model = grid->model();
    // ivanov: limit 50000, opening balance 1000, remaining 250.
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("1000"));

    auto* menu = w.Find<QMenu>("PopupMenu1");
    QStringList captions;
    for (QAction* action : menu->actions()) captions << (action->isSeparator() ? QStringLiteral("-") : QString(action->text()).remove(QLatin1Char('&')));
    QCOMPARE(captions, QStringList({QStringLiteral("Перечитать данные"), QStringLiteral("Установить лимиты"),
                                    QStringLiteral("Сохранить изменения и рестартовать сервис"), QStringLiteral("-"),
                                    QStringLiteral("Сохранить состояние профилей \"Включен\"")}));
    auto choose = [&](const char* name) {
        const QPoint at = grid->visualRect(model->index(0, 0)).center();
        QContextMenuEvent right_click(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &right_click);
        QTRY_VERIFY(menu->isVisible());
        QAction* action = menu->findChild<QAction*>(QString::fromLatin1(name));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QTRY_VERIFY(!menu->isVisible());
    };
    choose("NSet");
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("50000"));
    QCOMPARE(model->index(1, 3).data().toString(), QStringLiteral("50000"));
    QCOMPARE(w.Folder().Number("ivanov", "OpeningBalanceLo"), 1000);

    choose("NRead");
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("1000"));

    // The "Включен" box of petrov ticked, then stored alone.
    const QModelIndex enabled = model->index(2, 4);
    QCOMPARE(enabled.data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(enabled).center());
    choose("NSaveEn");
    QCOMPARE(w.Folder().Number("petrov", "AccountEnabled"), 1);
}

void WindowTest::thirdAutorunItemEnablesTheAddressEdit() {
    Window w;
    w.Click("SpeedButton4");
    auto* address = w.Find<QLineEdit>("ESGToUser");
    auto* list = w.Find<QListWidget>("ChLBRun");
    QVERIFY(!address->isEnabled());

    list->setFocus();
    list->setCurrentRow(2);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(w.Controls().ChLBRun.Checked(2));
    QVERIFY(address->isEnabled());

    // The mouse on the box of item 0 ticks it and leaves the address alone.
    QStyleOptionViewItem option;
    option.initFrom(list->viewport());
    option.rect = list->visualItemRect(list->item(0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box = list->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box.center());
    QVERIFY(w.Controls().ChLBRun.Checked(0));
    QVERIFY(address->isEnabled());

    list->setCurrentRow(2);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(!address->isEnabled());
}

void WindowTest::autorunRunClosesTheWindowItself() {
    Start start;
    start.settings.html = true;
    start.settings.auto_close = true;
    start.settings.auto_save = true;
    // The close timer as designed, but quicker.
    start.before_start = [](FormControls& c) { c.TMClose.Interval = 400; };
    Window w(start);
    // The relative report name is taken from the program's folder, not from the viewer's.
    QVERIFY(fs::exists(w.Folder().Path() / "report.htm"));
    QVERIFY(!fs::exists(w.Logs() / "report.htm"));
    QCOMPARE(w.Page(), QStringLiteral("TabSheet4"));
    QVERIFY(w.Host().CloseTimerRunning());

    // The user works meanwhile; the window closes all the same, saving what he changed.
    w.Click("SpeedButton4");
    QLineEdit* subject = w.Find<QLineEdit>("ESubject");
    subject->setFocus();
    subject->selectAll();
    Type(subject, QStringLiteral("Трафик за месяц"));
    QTRY_VERIFY_WITH_TIMEOUT(w.Host().QuitQueued(), 5000);
    QVERIFY(!w.Host().CloseTimerRunning());
    const std::string ini = ReadFile(w.Folder().SettingsPath());
    QVERIFY2(ini.find(Utf8ToCp1251("Subject=Трафик за месяц\r\n")) != std::string::npos, ini.c_str());
    QCOMPARE(w.Host().ExitStatus(), 0);
}

// The viewer's grid holds whole logs: no handler that leaves it alone makes the window read it again.
void WindowTest::gridsAreReadAgainOnlyWhenTheyChanged() {
    Window w;
    QSignalSpy viewer(w.Find<QAbstractItemView>("SG1")->model(), &QAbstractItemModel::modelReset);
    QSignalSpy statistics(w.Find<QAbstractItemView>("ASGRead")->model(), &QAbstractItemModel::modelReset);
    w.Click("SpeedButton4");
    w.Click("SBAbout");
    QTest::keyClicks(w.Find("EHost"), QStringLiteral("1"));
    QCOMPARE(viewer.count(), 0);
    QCOMPARE(statistics.count(), 0);
    w.Click("SBToStat");
    QCOMPARE(viewer.count(), 0);
    QCOMPARE(statistics.count(), 1);
}

void WindowTest::jobControlsAreDisabledWhileAHandlerRuns() {
    Window w;
    // The error box of a failing report comes while its handler runs: the job and navigation controls
    // are disabled under it, and enabled again once it is answered.
    w.Controls().EHTMLPath.Text = (w.Folder().Path() / "missing" / "report.htm").string();
    bool disabled_under_the_box = false;
    AnswerNextModal([&](QWidget* modal) {
        disabled_under_the_box = !w.Find("SBSend1")->isEnabled() && !w.Find("SBLimit")->isEnabled() &&
                                 !w.Find("RG1")->isEnabled() && w.Find("EHTMLPath")->isEnabled();
        qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Ok)->click();
    });
    w.Click("SBSaveHTML");
    QVERIFY(disabled_under_the_box);
    QVERIFY(w.Find("SBSend1")->isEnabled());
    QVERIFY(w.Find("SBLimit")->isEnabled());
    QVERIFY(!w.Form().Busy());
}

// With a display, a switch runs its job and the program ends without offering the window.
void WindowTest::switchRunsItsJobAndEndsWithADisplay() {
    TestFolder folder(Settings{});
    fs::copy_file(TARNWELL_PROGRAM, folder.Path() / "tarnwell");
    fs::copy_file(TARNWELL_WINDOW_MODULE, folder.Path() / fs::path(TARNWELL_WINDOW_MODULE).filename());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("TARNWELL_REGISTRY"));
    environment.remove(QStringLiteral("TARNWELL_HOME"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QString::fromStdString(folder.Path().string()));
    program.start(QString::fromStdString((folder.Path() / "tarnwell").string()), {QStringLiteral("/createhtml")});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // The window's module was there: no note that the program runs without it.
    QVERIFY(!program.readAllStandardError().contains("Tarnwell:"));
    QVERIFY(ReadFile(folder.Path() / "report.htm").find("ivanov") != std::string::npos);
}

void WindowTest::lowWindowScrollsTheNavigationColumn() {
    Window w;
    auto* down = w.Find<QToolButton>("NavigationDown");
    auto* about = w.Find<QToolButton>("SBAbout");
    auto* scroller = w.Find("NavScroller");
    // As designed, the window is too low for the 400-pixel strip: the arrows show.
    QCOMPARE(w.Main().pos(), QPoint(200, 193));
    // 644 x 375 with a usual frame and caption, or wider where the pages' fonts need it.
    QCOMPARE(w.Main().size(), QSize(636, 348).expandedTo(w.Main().minimumSizeHint()));
    QCOMPARE(w.Main().height(), 348);
    QVERIFY(down->isVisible());
    const auto shown = [&] {
        const QRect in_scroller(about->mapTo(scroller, QPoint(0, 0)), about->size());
        return scroller->rect().contains(in_scroller);
    };
    QVERIFY(!shown());
    for (int i = 0; i < 10 && !shown(); ++i) down->click();
    QVERIFY(shown());
    about->click();
    QCOMPARE(w.Page(), QStringLiteral("TabSheet3"));

    // High enough: no arrows.
    w.Main().resize(w.Main().width(), 600);
    QTRY_VERIFY(!down->isVisible());
    QVERIFY(shown());
}

// Column fitting skips every text shorter than the widest so far divided by the widest byte: no text may
// be drawn wider than its length times that width, whatever bytes it holds.
void WindowTest::textWidthsStayWithinTheirBound() {
    const QtTextWidth measure(QtHost::GridFont());
    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte) every_byte.push_back(static_cast<char>(byte));
    const std::string texts[] = {"W", "\t", "a\tb", "\x01\x02", Utf8ToCp1251("Щ Ж Ш Ю"), every_byte, "mmmmmmmm"};
    for (const std::string& text : texts) {
        for (bool fixed : {false, true}) {
            QVERIFY2(measure.TextWidth(text, fixed) <= static_cast<int>(text.size()) * measure.MaxByteWidth(fixed),
                     qPrintable(ToQString(text)));
        }
    }
    QVERIFY(measure.TextWidth("mmmm", false) > measure.TextWidth("iiii", false));
}

// A click on a header sorts the rows shown; the table underneath, the report and the stored flags keep
// the table's own order.
void WindowTest::statisticsSortInTheViewOnly() {
    Window w;
    auto* grid = w.Find<GridView>("ASGRead");
    QAbstractItemModel* shown = grid->model();
    auto logins = [&] {
        QStringList rows;
        for (int row = 0; row < shown->rowCount(); ++row) rows << shown->index(row, 1).data().toString();
        return rows;
    };
    QCOMPARE(logins(), QStringList({"system", "ivanov", "petrov", QStringLiteral("Сумма")}));
    w.Controls().EHTMLPath.Text = (w.Folder().Path() / "before.htm").string();
    w.Click("SBSaveHTML");

    QHeaderView* header = grid->horizontalHeader();
    auto click_header = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    // "Скачано клиентом": petrov 0, system 1 MB, ivanov 12 MB; the totals stay last.
    click_header(3);
    QCOMPARE(logins(), QStringList({"petrov", "system", "ivanov", QStringLiteral("Сумма")}));
    click_header(3);
    QCOMPARE(logins(), QStringList({"ivanov", "system", "petrov", QStringLiteral("Сумма")}));
    // Texts alphabetically.
    click_header(1);
    QCOMPARE(logins(), QStringList({"ivanov", "petrov", "system", QStringLiteral("Сумма")}));
    // The bands go by the rows as shown: the first row shown in the first band's colour, whichever it is.
    const QPalette palette = QGuiApplication::palette();
    QCOMPARE(shown->index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), palette.color(QPalette::ToolTipBase));
    QCOMPARE(shown->index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(), palette.color(QPalette::Base));

    // The table keeps its order: the report is the same, and a box ticked in the sorted view is its
    // user's.
    QCOMPARE(ToQString(w.Controls().ASGRead.GetCellEx(1, 2)), QStringLiteral("ivanov"));
    w.Controls().EHTMLPath.Text = (w.Folder().Path() / "after.htm").string();
    w.Click("SBSaveHTML");
    QCOMPARE(ReadFile(w.Folder().Path() / "after.htm"), ReadFile(w.Folder().Path() / "before.htm"));
    const QModelIndex ivanov = shown->index(0, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(ivanov).center());
    bool state = false;
    QVERIFY(w.Controls().ASGRead.GetCheckBoxState(0, 2, state) && state);

    // A refresh keeps the sort of the view.
    w.Click("SBToStat");
    QCOMPARE(logins(), QStringList({"ivanov", "petrov", "system", QStringLiteral("Сумма")}));
}

void WindowTest::hiDpiScreensScaleTheDesignedSizes() {
    QProcess scaled;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    scaled.setProcessEnvironment(environment);
    scaled.setProcessChannelMode(QProcess::MergedChannels);
    scaled.start(QCoreApplication::applicationFilePath(), {QStringLiteral("scaled")});
    QVERIFY(scaled.waitForFinished(60000));
    QVERIFY2(scaled.exitStatus() == QProcess::NormalExit && scaled.exitCode() == 0, scaled.readAll().constData());
}

// Every change of the precision's text reloads the statistics; typing goes on in the same box.
void WindowTest::typedPrecisionReloadsTheTableAndKeepsTheFocus() {
    Window w;
    QAbstractItemModel* shown = w.Find<QAbstractItemView>("ASGRead")->model();
    // The digits after the comma of ivanov's first traffic cell.
    auto digits = [&] {
        const QString text = shown->index(1, 3).data().toString();
        return text.section(QLatin1Char(','), 1).section(QLatin1Char(' '), 0, 0).size();
    };
    QWidget* precision = w.Find("CSETochn");
    precision->setFocus();
    QTest::keyClick(precision, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(precision, Qt::Key_1);
    QCOMPARE(digits(), 1);
    QTest::keyClick(precision, Qt::Key_2);
    QCOMPARE(w.Controls().CSETochn.Text(), std::string("12"));
    QVERIFY(digits() > 1);
    QVERIFY(precision->hasFocus() || precision->isAncestorOf(QApplication::focusWidget()));
}

void WindowTest::gridsDrawBandsTheHotHeaderAndTheirSizing() {
    Window w;
    auto* statistics = w.Find<GridView>("ASGRead");
    QAbstractItemModel* shown = statistics->model();
    const QPalette palette = QGuiApplication::palette();
    // Bands from the first row under the header: the tooltip colour, then the window's.
    QCOMPARE(shown->index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), palette.color(QPalette::ToolTipBase));
    QCOMPARE(shown->index(1, 1).data(Qt::BackgroundRole).value<QBrush>().color(), palette.color(QPalette::Base));

    // The header of the active cell's column in the hot-light colour, on the grids that have it.
    statistics->setCurrentIndex(shown->index(1, 2));
    QCOMPARE(shown->headerData(2, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
             palette.color(QPalette::Link));
    QVERIFY(!shown->headerData(1, Qt::Horizontal, Qt::BackgroundRole).isValid());
    w.Click("SBLimit");
    auto* limits = w.Find<GridView>("ASGLimit");
    limits->setCurrentIndex(limits->model()->index(1, 1));
    QVERIFY(!limits->model()->headerData(1, Qt::Horizontal, Qt::BackgroundRole).isValid());

    // Columns sized with the mouse where the grid allows it; the grid takes the width.
    QCOMPARE(statistics->horizontalHeader()->sectionResizeMode(1), QHeaderView::Interactive);
    QCOMPARE(limits->horizontalHeader()->sectionResizeMode(1), QHeaderView::Fixed);
    statistics->horizontalHeader()->resizeSection(1, 123);
    QCOMPARE(w.Controls().ASGRead.ColWidths(1), 123);
    // The limits grid's login column is its row header, as wide as designed or as its longest login
    // needs; the others as the grid says.
    QVERIFY(limits->verticalHeader()->width() >= 70);
    QVERIFY(limits->verticalHeader()->width() >=
            limits->verticalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("Administrator")));
    QCOMPARE(limits->columnWidth(0), w.Controls().ASGLimit.ColWidths(1));
}

void WindowTest::aboutLinksGoToTheDesktopsHandler() {
    LinkCatcher catcher;
    for (const char* scheme : {"http", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &catcher, "Open");
    Window w;
    w.Click("SBAbout");
    QCOMPARE(w.Find<QPushButton>("STtoSite")->text(), QStringLiteral("http://www.example.com"));
    w.Click("STtoSite");
    w.Click("StaticText7");
    for (const char* scheme : {"http", "mailto"}) QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    QCOMPARE(catcher.opened.size(), 2);
    QCOMPARE(catcher.opened[0], QUrl(QStringLiteral("http://www.example.com")));
    // The mail link is not the text shown: the maker's addresses and the subject.
    QCOMPARE(catcher.opened[1].scheme(), QStringLiteral("mailto"));
    QVERIFY(catcher.opened[1].toString().contains(QStringLiteral("subject=Программа")));
}

// Each button of the radio groups selects its own item: the unit on the statistics page, the kilobyte
// and the mail protection on the settings page. The clicks go round from the item after the selected one,
// so that each of them changes the selection; the window shows the clicked button checked.
void WindowTest::radioButtonsSelectTheirOwnItems() {
    Window w;
    const struct {
        const char* page_button;
        const char* group;
        RadioGroup FormControls::*control;
    } groups[] = {{"SBToStat", "RG1", &FormControls::RG1},
                  {"SpeedButton4", "RGkb", &FormControls::RGkb},
                  {"SpeedButton4", "RGSecurity", &FormControls::RGSecurity}};
    for (const auto& g : groups) {
        w.Click(g.page_button);
        const RadioGroup& control = w.Controls().*g.control;
        const int count = static_cast<int>(control.Items().size());
        const int first = std::max(control.ItemIndex(), 0);
        for (int step = 1; step <= count; ++step) {
            const int item = (first + step) % count;
            const QByteArray name = QByteArray(g.group) + "." + QByteArray::number(item);
            auto* button = w.Find<QRadioButton>(name.constData());
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY2(control.ItemIndex() == item, name.constData());
            QVERIFY2(button->isChecked(), name.constData());
        }
    }
}

// The letters' run against a server that refuses petrov's letter: the error box accounts for it, and the
// outcome area at the right of the status bar tells what the run did and where, for the eye and for a
// screen reader, until the next outcome; the hints under the mouse never take its place.
void WindowTest::mailRunShowsItsOutcomeApartFromTheHints() {
    testing::ScriptedServer server(testing::SmtpScript(
        "220 ready\r\n", {"250 hello\r\n", "250 reset\r\n", "250 sender ok\r\n", "550 no such user\r\n",
                          "554 no valid recipients\r\n", "221 bye\r\n"}));
    Start start;
    start.settings.mail_keys = "Host=127.0.0.1\r\nPort=" + std::to_string(server.Port()) +
                               "\r\nUserID=tarnwell\r\nDomain=corp.ru\r\nFromAddress=admin@corp.ru\r\n";
    Window w(start);
    auto* outcome = w.Find<QLabel>("StatBarOutcome");
    QVERIFY(!outcome->isVisible());

    auto question = AnswerNextQuestion(QStringLiteral("Да"));
    auto box = AnswerNextBox();
    w.Click("SBSend1");
    QCOMPARE(question->text, QStringLiteral("Разослать письма отмеченным пользователям? Писем: 1"));
    QTRY_COMPARE(box->kind, QStringLiteral("ErrorBox"));
    QCOMPARE(box->text, QStringLiteral("Отправлено писем: 0 из 1.\nНе отправлено: petrov@corp.ru: 550 no such user"));
    const QString told = QStringLiteral("Письма (127.0.0.1:%1): отправлено 0 из 1, не отправлено 1")
                             .arg(server.Port());
    QCOMPARE(outcome->text(), told);
    QVERIFY(outcome->isVisible());
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(outcome);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), told);
    // Shown whole at the designed size, beside the hint area.
    QVERIFY2(outcome->width() >= outcome->sizeHint().width(), qPrintable(QString::number(outcome->width())));

    QTest::mouseMove(w.Find("SBSend1"));
    QTRY_COMPARE(w.StatusText(), QStringLiteral("Разослать наработанный трафик пользователям"));
    QCOMPARE(outcome->text(), told);
    QCOMPARE(w.Host().ExitStatus(), 1);
    server.WaitForClientClose();
}

}  // namespace tarnwell::gui_testing

int RunWindowTests(int argc, char** argv) {
    tarnwell::gui_testing::WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
