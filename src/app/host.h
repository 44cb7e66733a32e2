#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "form/control.h"
#include "grid/text_width.h"
#include "text/user_notifier.h"

namespace tarnwell {

// A save dialog of the window. It keeps its values from one showing to the next: the host shows them and
// writes back what the user left in it.
struct SaveDialog {
    std::string Title;
    std::string Filter;      // "description|patterns|description|patterns..."
    int FilterIndex = 1;     // file type shown at the opening and confirmed by the user, from 1
    std::string DefaultExt;  // without the dot
    std::string FileName;
    bool Resizable = true;
    // Runs while the dialog is open whenever the user picks another file type (its index, from 1).
    std::function<void(int)> OnTypeChange;
};

// What the main window needs from whatever shows it: the Qt window, or the headless host that runs the
// program from a scheduler with no display. TFSend talks to its host only through this interface, so the
// start-up, the switches and every handler run the same with or without a window.
//
// Texts are Windows-1251, like every text of the program.
class Host : public UserNotifier {
public:
    // ShowMessage (from UserNotifier): the program's own modal message box, titled "Tarnwell", one
    // sentence and an OK button.

    // The standard error box: the text of an error that ended an operation, with a full stop appended
    // when it ends in a letter or digit (ErrorBoxText).
    virtual void ShowError(std::string_view text) = 0;

    // Handles the window events that are waiting, so the window stays usable while a job waits.
    virtual void ProcessMessages() = 0;

    // Queues the request to end the program. It takes effect when the event loop takes it, that is after
    // the handler that asked for it (the whole start-up sequence) has returned; the main window's close
    // handler does not run for it.
    virtual void PostQuit() = 0;

    // The window timer of the close timer: `tick` runs every `interval` on the user-interface thread until
    // StopCloseTimer. Starting it again restarts the count.
    virtual void StartCloseTimer(std::chrono::milliseconds interval, std::function<void()> tick) = 0;
    virtual void StopCloseTimer() = 0;

    // Blocks the user-interface thread for the given time without handling events, as the service restart
    // does between its two runs: the window neither repaints nor reacts meanwhile.
    virtual void Sleep(std::chrono::milliseconds duration) = 0;

    // Redraws the control now, while a handler is still running and without handling input: the gauge
    // during a long load, the status text before the service restart blocks.
    virtual void RepaintNow(const TControl& control) = 0;

    // How wide the grids draw a text, for fitting their columns.
    virtual const TextWidthMeasure& TextWidth() const = 0;

    // Shows the save dialog modally. True when the user confirmed a file name (then in dialog.FileName),
    // false when he cancelled or no dialog can be shown.
    virtual bool ExecuteSaveDialog(SaveDialog& dialog) = 0;

    // The desktop's "open" of a document or link. Whether it worked is not reported.
    virtual void ShellOpen(std::string_view target) = 0;
};

}  // namespace tarnwell
