// Writes a picture of each page of the window, as the X server shows it, for the README:
//   window_screenshots <demo folder> <folder for the pictures> [page ...]
// The demo folder holds settings.ini, registry.reg and proxy.log (scripts/run-demo makes one); the pages
// are viewer, statistics, limits, settings, about and saving (the viewer page during a save), all when none
// is named. Run it under an X display:
// docs/screenshots/take-screenshots does.

#include <QAbstractItemView>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <filesystem>

#include "gui/main_window.h"
#include "gui/window_program.h"
#include "text/cp1251.h"
#include "user_input.h"

namespace {

void Settle() {
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QTest::qWait(30);
    }
}

// The mouse rests on a control, so the status bar shows its hint.
void RestOn(QWidget* widget) {
    if (widget) QCursor::setPos(widget->mapToGlobal(widget->rect().center()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_screenshots <demo folder> <folder for the pictures> [page ...]\n");
        return 2;
    }
    const std::string demo = argv[1];
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QStringList wanted;
    for (int i = 3; i < argc; ++i) wanted << QString::fromLocal8Bit(argv[i]);
    // The viewer starts in the current folder: the demo's, with its log.
    std::filesystem::current_path(demo);
    auto setup = [&] {
        return tarnwell::FSendSetup{tarnwell::UserDatabaseLocation::RegFile(demo + "/registry.reg"), demo, nullptr,
                                     std::make_unique<tarnwell::SystemProgramRunner>()};
    };
    int status = 0;
    int qt_argc = 1;
    auto take = [&](tarnwell::MainWindow& window) {
        QDir().mkpath(folder);
        // The status bar's outcome area as a letters' run leaves it (the demo has no mail server to send to).
        window.Binder().Controls().StatBar.ShowOutcome(
            tarnwell::Utf8ToCp1251("Письма (127.0.0.1:25): отправлено 20 из 20"));
        window.Refresh();
        const struct {
            const char* page;
            const char* button;
            const char* rest_on;
        } pages[] = {
            {"viewer", "SpeedButton3", "SBSave"}, {"statistics", "SBToStat", "SBSend1"},
            {"limits", "SBLimit", "ASGLimit"},    {"settings", "SpeedButton4", "EHost"},
            {"about", "SBAbout", "Memo1"},
        };
        for (const auto& page : pages) {
            if (!wanted.isEmpty() && !wanted.contains(QString::fromLatin1(page.page))) continue;
            auto* button = window.findChild<QToolButton*>(QString::fromLatin1(page.button));
            if (!button) {
                status = 1;
                continue;
            }
            button->click();
            Settle();
            if (QString::fromLatin1(page.page) == QStringLiteral("viewer")) {
                auto* files = window.findChild<QListWidget*>(QStringLiteral("FLB1"));
                const QList<QListWidgetItem*> log = files->findItems(QStringLiteral("proxy.log"), Qt::MatchExactly);
                if (!log.isEmpty()) {
                    tarnwell::gui_testing::DoubleClick(files->viewport(), files->visualItemRect(log[0]).center());
                }
            }
            RestOn(window.findChild<QWidget*>(QString::fromLatin1(page.rest_on)));
            Settle();
            const QPixmap shot = window.screen()->grabWindow(window.winId());
            if (!shot.save(folder + QLatin1Char('/') + QString::fromLatin1(page.page) + QStringLiteral(".png"))) {
                status = 1;
            }
        }
        // The viewer page as a save shows it: the gauge under way and the cancel button under it.
        if (wanted.isEmpty() || wanted.contains(QStringLiteral("saving"))) {
            tarnwell::FormControls& c = window.Binder().Controls();
            c.CG1.SetRange(0, 1000);
            c.CG1.SetPosition(400);
            c.CG1.Visible = true;
            c.SBCancel.Visible = true;
            window.Refresh();
            RestOn(window.findChild<QWidget*>(QStringLiteral("SBCancel")));
            Settle();
            if (!window.screen()->grabWindow(window.winId()).save(folder + QStringLiteral("/saving.png"))) status = 1;
            c.CG1.Visible = false;
            c.SBCancel.Visible = false;
        }
        window.close();
        QCoreApplication::quit();
    };
    tarnwell::RunWindow(qt_argc, argv, std::nullopt, setup,
                        [&](tarnwell::MainWindow& window) { QTimer::singleShot(0, &window, [&] { take(window); }); });
    return status;
}
