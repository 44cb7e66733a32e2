#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/tf_send.h"

namespace tarnwell {

class MainWindow;

// Whether Qt has its platform for a Wayland display. The program found a display before it loaded the
// window (app/window_module.h); when that is a Wayland display alone, without the platform it runs
// headless: a scheduler's run never waits on a window nobody sees.
bool WaylandPlatformPresent();

// The program with its window: the application titled "Tarnwell", the main window made hidden, its
// start-up run (FormCreate with the command line's first argument), then, unless a switch has
// queued the quit, the window shown and the event loop run until the window closes. An error that
// escapes the making of the window is shown in the error box and ends the program. Returns the exit
// status: 0 when no message or error box was shown, 1 otherwise, as the headless program does.
//
// `started` runs once the start-up is over, just before the window is shown (benchmarks and the screenshot
// tool drive the window from there).
int RunWindow(int& argc, char** argv, const std::optional<std::string>& first_argument,
              const std::function<FSendSetup()>& make_setup, const std::function<void(MainWindow&)>& started = {});

}  // namespace tarnwell
