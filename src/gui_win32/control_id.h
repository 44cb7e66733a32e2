#pragma once

#include <string_view>

#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

// Every widget of the window carries, as its control ID, a number made from the name of the control it
// shows ("EHost", "SBSend1", "ASGRead"; a widget that only belongs to one has a suffix: "EHost.Label",
// "CSETochn.Arrows"). Anything that has the window's handle can so find a control by its name: tests,
// and tools that drive the window from outside. The window refuses to start when two names would get
// the same number.
int ControlId(std::string_view name);

// The widget of that name among the window's descendants, or nullptr.
HWND FindControl(HWND root, std::string_view name);

}  // namespace tarnwell::win32
