// The pages laid out by the fonts drawn: at the opening size no caption, list item or button text of any
// page is cut or out of the window, and edits show the start of their text. The same check runs on a
// screen scaled twofold (scaled_test.cpp).

#include <QToolButton>

#include "cut_captions.h"
#include "window_fixture.h"

namespace tarnwell::gui_testing {

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void nothingIsCutAtTheOpeningSize() {
        Window w;
        // The designed size is the least the window opens at.
        QVERIFY(w.Main().width() >= 636 && w.Main().height() >= 348);
        for (Button* button : w.Controls().NavigationButtons()) {
            auto* widget = w.Find<QToolButton>(button->Name.c_str());
            widget->click();
            const QStringList cut = CutCaptions(&w.Main());
            QVERIFY2(cut.isEmpty(), qPrintable(w.Page() + QStringLiteral(": ") + cut.join(QStringLiteral("; "))));
        }
    }

    void longTextsInEditsShowTheirStart() {
        Window w;
        w.Click("SpeedButton4");
        w.Controls().EFromName.Text = std::string(200, 'x') + "end";
        w.Main().Refresh();
        auto* edit = w.Find<QLineEdit>("EFromName");
        QCOMPARE(edit->cursorPosition(), 0);
    }
};

}  // namespace tarnwell::gui_testing

int RunLayoutTests(int argc, char** argv) {
    tarnwell::gui_testing::LayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "layout_test.moc"
