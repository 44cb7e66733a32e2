#include "gui/window_program.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <exception>
#include <memory>

#include "gui/main_window.h"
#include "gui/qt_host.h"
#include "gui/window_memory.h"

namespace tarnwell {

bool WaylandPlatformPresent() {
    const QString platforms = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/");
    return QFileInfo::exists(platforms + QStringLiteral("libqwayland-generic.so")) ||
           QFileInfo::exists(platforms + QStringLiteral("libqwayland-egl.so"));
}

int RunWindow(int& argc, char** argv, const std::optional<std::string>& first_argument,
              const std::function<FSendSetup()>& make_setup, const std::function<void(MainWindow&)>& started) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwell"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarnwell"));
    QTranslator qt_texts;
    if (LoadRussianQtTexts(qt_texts)) QApplication::installTranslator(&qt_texts);
    QtHost host;
    try {
        FSendSetup setup = make_setup();
        const std::string folder = setup.settings_folder;
        TFSend form(host, std::move(setup));
        MainWindow window(form, host);
        host.Attach(&window);
        form.FormCreate(first_argument);
        // A switch's quit is taken before the window is ever offered.
        if (host.QuitQueued()) return host.ExitStatus();
        RestoreWindowState(window, folder);
        if (started) started(window);
        window.show();
        QApplication::exec();
        KeepWindowState(window, folder);
        host.Attach(nullptr);
    } catch (const std::exception& e) {
        host.ShowError(e.what());
    }
    return host.ExitStatus();
}

}  // namespace tarnwell
