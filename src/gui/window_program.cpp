#include "gui/window_program.h"

#include <dlfcn.h>

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <cstdlib>
#include <exception>
#include <memory>

#include "gui/main_window.h"
#include "gui/qt_host.h"

namespace tarnwell {
namespace {

bool EnvSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Asks the X server named by DISPLAY whether it answers, through the X client library that Qt's own
// platform loads anyway. Qt ends the process when it cannot connect, so a stale DISPLAY left in a
// scheduler's environment would otherwise kill an unattended run.
bool XDisplayAnswers() {
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!xcb) return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    auto has_error = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool answers = false;
    if (connect && has_error && disconnect) {
        void* connection = connect(nullptr, nullptr);
        answers = connection && has_error(connection) == 0;
        if (connection) disconnect(connection);
    }
    dlclose(xcb);
    return answers;
}

bool WaylandPlatformPresent() {
    const QString platforms = QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms/");
    return QFileInfo::exists(platforms + QStringLiteral("libqwayland-generic.so")) ||
           QFileInfo::exists(platforms + QStringLiteral("libqwayland-egl.so"));
}

}  // namespace

bool WindowAvailable() {
    if (EnvSet("QT_QPA_PLATFORM")) return true;
    if (EnvSet("DISPLAY") && XDisplayAnswers()) return true;
    return EnvSet("WAYLAND_DISPLAY") && WaylandPlatformPresent();
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
