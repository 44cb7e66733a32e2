#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

// The Qt window is a module beside the program, loaded only when a display is there: a scheduler's run,
// which has none, loads no toolkit at all and starts as fast as the program built without the window.
//
// The program looks for the module in its own folder first (a copy of the program with its module in a
// folder of its own), then in ../lib/tarnwell beside that folder (the installed program: bin/tarnwell and
// lib/tarnwell/<module>). Both are relative to the executable, so the two move together.

// The entry point the module exports. Its name carries the version of its arguments, so that a module of
// another build is refused by its missing entry rather than called with the wrong arguments.
inline constexpr const char* kWindowModuleEntry = "tarnwell_window_main_v1";

// The entry: argc and argv for the toolkit; the command line's first argument (argument nullptr: none)
// with its length in bytes; whether the only display found is a Wayland one (the module then looks for
// the toolkit's platform for it). Returns the program's exit status, or kNoWindowAfterAll.
using WindowModuleEntry = int (*)(int* argc, char** argv, const char* argument, std::size_t length,
                                  int wayland_only);
// The module found no way to show its window after all: the program runs headless, as without a display.
inline constexpr int kNoWindowAfterAll = -1;

// Which display the environment offers the window: QT_QPA_PLATFORM naming a platform, an X display in
// DISPLAY that answers (a stale DISPLAY in a scheduler's environment would otherwise make the toolkit end
// the process), or WAYLAND_DISPLAY alone.
enum class DisplayFound { kNone, kPlatformNamed, kX, kWaylandOnly };
DisplayFound FindDisplay();

// Where the module of that name is looked for, in order, for the executable in `executable_folder`.
std::string ModuleBesideProgram(std::string_view executable_folder, std::string_view module_name);
std::string ModuleInstalled(std::string_view executable_folder, std::string_view module_name);

// With a display: loads the module and runs the window program in it, returning its exit status. Without
// a display, or when the module finds none after all: nothing, and the caller runs headless. When the
// module is missing or cannot be loaded, a line on `err` says so and that the program runs without a
// window ("Tarnwell: ..." in UTF-8, as the headless messages); nothing is returned either. That line is
// a note, not a message of the program's: the exit status stays that of the headless run.
std::optional<int> RunWindowModule(std::string_view module_name, int& argc, char** argv,
                                   const std::optional<std::string>& first_argument, std::ostream& err);

}  // namespace tarnwell
