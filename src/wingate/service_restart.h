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

// Starts a program with one argument and does not wait for it. Paths are Windows-1251.
class ProgramRunner {
public:
    virtual ~ProgramRunner() = default;
    // Whether Run would find a program there that it can start: checked before the service is stopped,
    // since Run itself reports nothing.
    virtual bool CanRun(const std::string& program) = 0;
    // Failures are not reported.
    virtual void Run(const std::string& program, const std::string& argument) = 0;
};

// The real pause of the platform.
class SystemPause : public Pause {
public:
    void Sleep(std::chrono::milliseconds duration) override;
};

// Windows: the shell's "open" of the program with the argument, window hidden. Elsewhere: the program is
// started directly (no shell) with that one argument; finished children are reaped later, so none linger.
//
// A relative path is taken from the process's current folder at the moment of the run (the viewer changes
// that folder: files/current_folder.h); on Windows, where the shell also searches the system's folders and
// PATH, a path without an extension may name an ".exe", and one pair of double quotes around the path is
// dropped. CanRun resolves the path the same way: elsewhere it wants a regular file this process may
// execute, on Windows an existing file that is no folder.
class SystemProgramRunner : public ProgramRunner {
public:
    bool CanRun(const std::string& program) override;
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
// Without the service key it shows "Не найдено имя службы для перезапуска"; when the program that ImagePath
// names cannot be run (missing, empty, not runnable) it shows that, naming the path as ImagePath holds it.
// Either way it runs nothing, leaves the status text alone and returns false (the caller abandons
// silently). True otherwise. Errors of the store (a failed Flush, an ImagePath of the wrong type)
// propagate; the store is released on every path.
bool RestartProxyService(std::unique_ptr<TUserDatabase> database, const ServiceRestartHost& host);

}  // namespace tarnwell
