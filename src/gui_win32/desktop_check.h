#pragma once

#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

// Whether the program can show a window: it runs on the visible window station of a logged-on user (not
// in a service's or a scheduler's non-interactive one, "whether the user is logged on or not"), and the
// system lets it make a window there. Without a desktop the program runs headless.
bool HasDesktop(HINSTANCE instance);

}  // namespace tarnwell::win32
