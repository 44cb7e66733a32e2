#pragma once

#include "app/host.h"
#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

// The system's save dialog for one of the window's SaveDialogs, modal to `owner`: its title, file types,
// the type to show, the proposed name and the default extension. Each switch of the file type while it
// is open goes to the dialog's OnTypeChange at once (the default extension follows it), whether the user
// then confirms or cancels. A confirmed name and file type are written back; a cancel leaves both.
// The process's current folder is left alone: the viewer's file list shows it.
bool RunSaveFileDialog(HWND owner, SaveDialog& dialog);

}  // namespace tarnwell::win32
