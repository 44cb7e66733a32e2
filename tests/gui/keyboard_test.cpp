// The window from the keyboard alone: Tab and Shift+Tab leave each grid, the page keys press the
// navigation buttons as a click does, the column shows the page shown, and focus shows a control's hint
// as the mouse does.

#include <QGroupBox>
#include <QToolButton>

#include "form/accelerators.h"

#include "gui/grid_view.h"
#include "window_fixture.h"

namespace tarnwell::gui_testing {

namespace {

QWidget* Focused() { return QApplication::focusWidget(); }

// The key pressed where the keyboard focus is.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focused(), static_cast<Qt::Key>(key), modifiers);
}

bool Inside(QWidget* widget, QWidget* container) { return widget && (widget == container || container->isAncestorOf(widget)); }

}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void tabLeavesEachGrid();
    void pageKeysPressTheNavigationButtons();
    void focusShowsTheHint();
    void acceleratorsAreUnderlinedAndWork();
};

void KeyboardTest::tabLeavesEachGrid() {
    Window w;
    const struct {
        const char* page_button;
        const char* grid;
        const char* reached;  // a control after the grid that Tab must reach
    } grids[] = {{"SpeedButton3", "SG1", "SBSave"}, {"SBToStat", "ASGRead", "SBSend1"}, {"SBLimit", "ASGLimit", "SBSaveLim"}};
    for (const auto& g : grids) {
        w.Click(g.page_button);
        auto* grid = w.Find<GridView>(g.grid);
        grid->setFocus(Qt::TabFocusReason);
        if (grid->model()->rowCount() > 0) grid->setCurrentIndex(grid->model()->index(0, 0));
        QVERIFY2(Inside(Focused(), grid), g.grid);
        Press(Qt::Key_Tab);
        QVERIFY2(!Inside(Focused(), grid), g.grid);
        // On to the control under it.
        bool reached = false;
        for (int i = 0; i < 12 && !reached; ++i) {
            reached = Focused() == w.Find(g.reached);
            if (!reached) Press(Qt::Key_Tab);
        }
        QVERIFY2(reached, g.reached);
        // And back into the grid and out of it the other way.
        grid->setFocus(Qt::TabFocusReason);
        Press(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY2(!Inside(Focused(), grid), g.grid);
    }
}

void KeyboardTest::pageKeysPressTheNavigationButtons() {
    Window w;
    const std::array<Button*, 5> buttons = w.Controls().NavigationButtons();
    // Ctrl+1 ... Ctrl+5: the buttons from the top, each showing its page as a click does.
    const char* pages[] = {"TabSheet1", "TabSheet4", "TabSheet5", "TabSheet2", "TabSheet3"};
    for (int i = 0; i < 5; ++i) {
        Press(Qt::Key_1 + i, Qt::ControlModifier);
        QCOMPARE(w.Page(), QString::fromLatin1(pages[i]));
        // The column shows which page is active.
        for (int j = 0; j < 5; ++j) {
            QCOMPARE(w.Find<QToolButton>(buttons[static_cast<std::size_t>(j)]->Name.c_str())->isDown(), i == j);
        }
    }
    // Ctrl+Tab round the column from the last button to the first, Ctrl+Shift+Tab back; also from a grid,
    // which keeps Tab for leaving it.
    Press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w.Page(), QStringLiteral("TabSheet1"));
    Press(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w.Page(), QStringLiteral("TabSheet4"));
    w.Find("ASGRead")->setFocus(Qt::TabFocusReason);
    Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.Page(), QStringLiteral("TabSheet1"));
    Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.Page(), QStringLiteral("TabSheet3"));

    // A disabled button is not pressed by its key either.
    w.Controls().SBLimit.Enabled = false;
    w.Main().Refresh();
    Press(Qt::Key_3, Qt::ControlModifier);
    QCOMPARE(w.Page(), QStringLiteral("TabSheet3"));
}

void KeyboardTest::focusShowsTheHint() {
    Window w;
    w.Find("SBSend1")->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(w.StatusText(), QStringLiteral("Разослать наработанный трафик пользователям"));
    w.Click("SpeedButton4");
    w.Find("EHost")->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(w.StatusText(), QStringLiteral("Адрес сервера почты(IP или DNS) "));
}

// Every letter of the table is underlined where the window shows its control, the caption otherwise as it
// reads. (Alt and the letter is Qt's own handling of the underlined caption.)
void KeyboardTest::acceleratorsAreUnderlinedAndWork() {
    Window w;
    const std::pair<AcceleratorScope, const char*> pages[] = {
        {AcceleratorScope::kViewerPage, "SpeedButton3"}, {AcceleratorScope::kSettingsPage, "SpeedButton4"},
        {AcceleratorScope::kStatPage, "SBToStat"},       {AcceleratorScope::kLimitsPage, "SBLimit"},
        {AcceleratorScope::kNavigation, "SBToStat"}};
    for (const auto& [scope, page_button] : pages) {
        w.Click(page_button);
        for (const AcceleratorKey& key : AcceleratorKeys()) {
            if (key.Scope != scope) continue;
            const QString name = ToQString(key.Control);
            QString shown;
            if (auto* button = w.Main().findChild<QAbstractButton*>(name)) {
                shown = button->text();
            } else if (auto* group = w.Main().findChild<QGroupBox*>(name); group && !group->title().isEmpty()) {
                shown = group->title();
            } else if (auto* strip = w.Main().findChild<QLabel*>(name + QStringLiteral(".Label"))) {
                shown = strip->text();
            } else {
                continue;  // a control this window does not show here (the find bar's, while it is closed)
            }
            const QString letter = ToQString(key.Letter);
            QVERIFY2(shown.contains(QLatin1Char('&') + letter), qPrintable(name + QStringLiteral(": ") + shown));
            QCOMPARE(QString(shown).remove(QLatin1Char('&')).indexOf(letter), key.Position);
        }
    }
}

}  // namespace tarnwell::gui_testing

int RunKeyboardTests(int argc, char** argv) {
    tarnwell::gui_testing::KeyboardTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "keyboard_test.moc"
