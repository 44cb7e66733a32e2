#pragma once

#include <string>

class QTranslator;

namespace tarnwell {

class MainWindow;

// What the Qt window remembers between runs (settings/window_state.h, window.ini in `folder`): its
// geometry kept on the screen it opens on, the splitters of the viewer page, the statistics sort order.
// Restore before the window is shown; Keep when it has closed. Keep writes whatever the auto-save box
// says; a file that cannot be written costs only the memory, never the close.
void RestoreWindowState(MainWindow& window, const std::string& folder);
void KeepWindowState(const MainWindow& window, const std::string& folder);

// Qt's own texts (file dialogs, the edit menu of the text fields, standard buttons) in Russian, from the
// system's Qt translations; false when they are not installed.
bool LoadRussianQtTexts(QTranslator& translator);

}  // namespace tarnwell
