#include "gui/window_program.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <exception>
#include <memory>

#include "gui/main_window.h"
#include "gui/qt_host.h"

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
    QtHost host;
    try {
        TFSend form(host, make_setup());
        MainWindow window(form, host);
        host.Attach(&window);
        form.FormCreate(first_argument);
        // A switch's quit is taken before the window is ever offered.
        if (host.QuitQueued()) return host.ExitStatus();
        if (started) started(window);
        window.show();
        QApplication::exec();
        host.Attach(nullptr);
    } catch (const std::exception& e) {
        host.ShowError(e.what());
    }
    return host.ExitStatus();
}

}  // namespace tarnwell
