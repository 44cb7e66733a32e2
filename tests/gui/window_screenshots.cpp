// Writes a picture of each page of the window, as the X server shows it, for the README:
//   window_screenshots <demo folder> <folder for the pictures>
// The demo folder holds settings.ini and registry.reg (scripts/run-demo makes one); run it under an X
// display: docs/screenshots/take-screenshots does both.

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <cstdio>

#include "gui/main_window.h"
#include "gui/window_program.h"

namespace {

void Settle() {
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QTest::qWait(30);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_screenshots <demo folder> <folder for the pictures>\n");
        return 2;
    }
    const std::string demo = argv[1];
    const QString folder = QString::fromLocal8Bit(argv[2]);
    auto setup = [&] {
        return tarnwell::TFSendSetup{tarnwell::UserDatabaseLocation::RegFile(demo + "/registry.reg"), demo, nullptr,
                                     std::make_unique<tarnwell::SystemProgramRunner>()};
    };
    int status = 0;
    int qt_argc = 1;
    tarnwell::RunWindow(qt_argc, argv, "", setup, [&](tarnwell::MainWindow& window) {
        QDir().mkpath(folder);
        const struct {
            const char* button;
            const char* file;
        } pages[] = {
            {"SpeedButton3", "viewer.png"},   {"SBToStat", "statistics.png"}, {"SBLimit", "limits.png"},
            {"SpeedButton4", "settings.png"}, {"SBAbout", "about.png"},
        };
        for (const auto& page : pages) {
            auto* button = window.findChild<QToolButton*>(QString::fromLatin1(page.button));
            if (!button) {
                status = 1;
                continue;
            }
            button->click();
            Settle();
            const QPixmap shot = window.screen()->grabWindow(window.winId());
            if (!shot.save(folder + QLatin1Char('/') + QString::fromLatin1(page.file))) status = 1;
        }
        window.close();
        QCoreApplication::quit();
    });
    return status;
}
