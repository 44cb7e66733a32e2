#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "text/user_notifier.h"
#include "wingate/user_database.h"

namespace tarnwell {

// The main window's status bar text, as the restart needs it.
class StatusText {
public:
    virtual ~StatusText() = default;
    virtual void SetStatusText(std::string_view text) = 0;  // Windows-1251
};

// Blocks the calling (user-interface) thread.
class Pause {
public:
    virtual ~Pause() = default;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

// Starts a program with one argument and does not wait for it. Failures are not reported.
class ProgramRunner {
public:
    virtual ~ProgramRunner() = default;
    virtual void Run(const std::string& program, const std::string& argument) = 0;  // Windows-1251
};

// The real pause of the platform.
class SystemPause : public Pause {
public:
    void Sleep(std::chrono::milliseconds duration) override;
};

// Windows: the shell's "open" of the program with the argument, window hidden. Elsewhere: the program is
// started directly (no shell) with that one argument; finished children are reaped later, so none linger.
class SystemProgramRunner : public ProgramRunner {
public:
    void Run(const std::string& program, const std::string& argument) override;
};

struct ServiceRestartHost {
    UserNotifier& notifier;
    StatusText& status;
    Pause& pause;
    ProgramRunner& runner;
};

// Restarts the proxy service so that it takes up what was written into the user database: ends the
// store's batch (Flush, so the service finds the values), reads the service program's path, sets the
// status text "Идет сохранение изменений и перезапуск службы WinGate...", runs the program with "-stop",
// pauses 5000 ms, runs it with "-start", clears the status text, and releases the store.
//
// Without the service key it shows "Не найдено имя службы для перезапуска", runs nothing, leaves the status
// text alone and returns false (the caller abandons silently). True otherwise. Errors of the store (a
// failed Flush, an ImagePath of the wrong type) propagate; the store is released on every path.
bool RestartProxyService(std::unique_ptr<TUserDatabase> database, const ServiceRestartHost& host);

}  // namespace tarnwell
