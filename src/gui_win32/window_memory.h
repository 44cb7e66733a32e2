#pragma once

#include <string>

#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

// What the Win32 window remembers between runs (settings/window_state.h, window.ini in `folder`): its
// place and size, kept whole on the work area of the monitor it opens on, scaled from the dpi it was
// closed at to the dpi it opens at; whether it was maximised. Restore before the window is shown (true:
// show it maximised); Keep when it closes, whatever the auto-save box says. A file that cannot be written
// costs only the memory.
bool RestoreWindowState(HWND window, const std::string& folder);
void KeepWindowState(HWND window, const std::string& folder);

}  // namespace tarnwell::win32
