#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/tf_send.h"
#include "gui_win32/main_window.h"
#include "gui_win32/win32_host.h"

namespace tarnwell::win32 {

// The program with its window: the host, the main window's logic and the window that shows it, made in
// that order and taken down in the other.
class WindowProgram {
public:
    // Makes the (hidden) window. Throws when that fails.
    WindowProgram(HINSTANCE instance, FSendSetup setup);
    ~WindowProgram();
    WindowProgram(const WindowProgram&) = delete;
    WindowProgram& operator=(const WindowProgram&) = delete;

    Win32Host& Host() { return host_; }
    TFSend& Form() { return *form_; }
    MainWindow& Window() { return *window_; }

    // The start-up sequence while the window is hidden; then the window is shown where window.ini keeps
    // it, unless a switch has queued the end of the program.
    void Start(const std::optional<std::string>& first_argument, int show_command);
    // The window has closed: its place and size go into window.ini (gui_win32/window_memory.h).
    void KeepWindowState();

private:
    std::string folder_;  // of settings.ini and window.ini
    bool shown_ = false;
    Win32Host host_;
    std::unique_ptr<TFSend> form_;
    std::unique_ptr<MainWindow> window_;
};

// The windowed program: start-up, then the message loop until the program ends. An error that escapes
// the making of the window is shown in the error box and ends the program. Returns the exit status: 0
// when no message or error box was shown, 1 otherwise (Host::ExitStatus), as in the headless program.
int RunWindow(HINSTANCE instance, const std::optional<std::string>& first_argument, int show_command,
              const std::function<FSendSetup()>& make_setup);

// The common controls of version 6 (the manifest asks for them), registered for this process.
void InitCommonControlClasses();

}  // namespace tarnwell::win32
