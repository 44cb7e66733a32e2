// The entry point of the window module (app/window_module.h): the program loads the module when it has
// found a display, and runs its window from here. Nothing but this function leaves the module; everything
// it is built from stays inside, so that the program's own copy of the lower layers never meets this one.

#include <exception>
#include <optional>
#include <string>
#include <type_traits>

#include "app/window_module.h"
#include "gui/window_program.h"

extern "C" __attribute__((visibility("default"))) int tarnwell_window_main_v1(int* argc, char** argv,
                                                                              const char* argument,
                                                                              std::size_t length, int wayland_only) {
    static_assert(std::is_same_v<decltype(&tarnwell_window_main_v1), tarnwell::WindowModuleEntry>);
    // An exception must not cross into the program, which knows nothing of this module's C++ objects.
    try {
        if (wayland_only != 0 && !tarnwell::WaylandPlatformPresent()) return tarnwell::kNoWindowAfterAll;
        std::optional<std::string> first;
        if (argument != nullptr) first.emplace(argument, length);
        return tarnwell::RunWindow(*argc, argv, first, tarnwell::FSendSetup::FromEnvironment);
    } catch (...) {
        return 1;
    }
}
