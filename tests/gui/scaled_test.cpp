// The window on a HiDPI screen: run in a process of its own with QT_SCALE_FACTOR=2 (see
// WindowTest::hiDpiScreensScaleTheDesignedSizes), it checks that the designed sizes are kept in
// device-independent pixels and drawn with twice the pixels, not tiny.

#include <QToolButton>

#include "cut_captions.h"
#include "window_fixture.h"

namespace tarnwell::gui_testing {

class ScaledTest : public QObject {
    Q_OBJECT

private slots:
    void designedSizesAreScaled() {
        Window w;
        QCOMPARE(w.Main().devicePixelRatio(), 2.0);
        QCOMPARE(w.Main().size(), QSize(636, 348).expandedTo(w.Main().minimumSizeHint()));
        auto* button = w.Find<QToolButton>("SBToStat");
        QVERIFY(button->width() >= 75 && button->height() >= 75);
        QCOMPARE(button->grab().size(), 2 * button->size());
        QCOMPARE(w.Find("StatBar")->height(), 20);
        // The grid's font is sized in points: as many device pixels again.
        QWidget* grid = w.Find("ASGRead");
        QVERIFY(QFontMetrics(grid->font()).height() >= 10);
        QVERIFY(grid->grab().height() == 2 * grid->height());
        // Nothing cut on any page at this scale either.
        for (Button* page : w.Controls().NavigationButtons()) {
            w.Find<QToolButton>(page->Name.c_str())->click();
            const QStringList cut = CutCaptions(&w.Main());
            QVERIFY2(cut.isEmpty(), qPrintable(w.Page() + QStringLiteral(": ") + cut.join(QStringLiteral("; "))));
        }
    }
};

}  // namespace tarnwell::gui_testing

int RunScaledTests(int argc, char** argv) {
    tarnwell::gui_testing::ScaledTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "scaled_test.moc"
