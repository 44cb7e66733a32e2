#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "form/control.h"
#include "grid/color.h"
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

// What the main window needs from whatever shows it: the Qt window, the Win32 window, or the headless host
// that runs the program from a scheduler with no display. TFSend talks to its host only through this
// interface, so the start-up, the switches and every handler run the same with or without a window.
//
// Texts are Windows-1251, like every text of the program.
//
// How a window works over this seam (the Qt window and the Win32 window both work so; neither keeps a
// copy of the program's state):
//
//   - The controls are plain data in src/form, owned by TFSend (TFSend::Controls(), TFSend::Browser()).
//     A window makes one widget per control and shows the control's state: captions, texts, items,
//     check states, Enabled, Visible, hints, the selected page, the grids' cells.
//   - Input goes in through the controls' user-action methods (Edit::UserSetText,
//     CheckListBox::UserToggle, Button::Click, GridControl::UserSetCellText, FileBrowser::
//     UserDoubleClickFile, ...). Those run the handlers that TFSend bound to them, each through
//     TFSend::RunHandler, which shows an escaping error in the error box. A window never calls a handler
//     by another road and never writes a control's fields directly for the user.
//   - Output comes back through ControlsChanged: after every handler run, after the start-up (FormCreate)
//     and after closing, TFSend tells its host that controls may have changed. The window then reads
//     every control again with its widgets' signals blocked, so that a value set from code runs no handler
//     in the window either. A grid is read again only when its Revision has moved since the window last
//     looked. A user action that runs no handler can change other controls too (a filter picked changes
//     the file list): the window reads the controls again after each action it hands in.
//   - Busy: while a handler runs (TFSend::Busy()), the job and navigation controls
//     (FormControls::JobControls()) and the file browser are disabled in the model, so no handler is
//     entered twice. A handler lets the user's events through only where it asks its host to: when it
//     pumps events while waiting (ProcessMessages), or shows a message box or a dialog. There the window
//     reads the controls first, so that the locked ones show disabled, and may show a wait cursor; a
//     handler that does neither runs without the window ever showing the lock. Closing the window while
//     busy is put off until the handler has ended (TFSend::UserClose).
//   - The hint under the mouse: the window finds the control under the mouse, or the nearest enclosing
//     control that has a hint, and hands it to StatusBar::ShowHintOf; tool tips show ShortHint() where
//     ShowHint is set.
//   - During a long handler the window redraws single controls when asked (RepaintNow): the gauge of a
//     load, the status text before the service restart blocks.
//   - Messages are counted here, once for every host: the exit status of every mode, window or headless,
//     is 0 when no message or error box was shown and 1 otherwise (ExitStatus). A host shows the boxes
//     (ShowMessageBox, ShowErrorBox) and returns ExitStatus from its program.
class Host : public UserNotifier {
public:
    // The program's own modal message box, titled "Tarnwell", one sentence and an OK button.
    void ShowMessage(std::string_view text) final {
        ++shown_;
        ShowMessageBox(text);
    }

    // The standard error box: the text of an error that ended an operation, with a full stop appended
    // when its first line ends in a letter or digit (ErrorBoxText). Lines after the first are notes to
    // it (where the program looked, what became of the letters of a mail run).
    void ShowError(std::string_view text) {
        ++shown_;
        ShowErrorBox(text);
    }

    // How many message and error boxes have been shown.
    int ShownCount() const { return shown_; }
    // The program's exit status: 0 when nothing was shown, 1 otherwise.
    int ExitStatus() const { return shown_ > 0 ? 1 : 0; }

    // A warning that stops nothing and is not counted as a shown message (the exit status stays as it
    // is): the traffic history could not be written. Headless, a line "Tarnwell: <text>" on standard
    // error; a window shows it in its status bar's outcome area. The default shows nothing.
    virtual void ShowWarning(std::string_view text) { (void)text; }

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
    virtual void RepaintNow(const Control& control) = 0;

    // How wide the grids draw a text, for fitting their columns.
    virtual const TextWidthMeasure& TextWidth() const = 0;

    // The desktop's colours, for the grid colours written into HTML (the window's palette; the headless
    // values without a window).
    virtual const ColorScheme& Colors() const = 0;

    // Controls may have changed: the window re-reads them (see above). Called after every handler run,
    // after FormCreate and closing. Must not throw.
    virtual void ControlsChanged() = 0;

    // Shows the save dialog modally. True when the user confirmed a file name (then in dialog.FileName),
    // false when he cancelled or no dialog can be shown.
    virtual bool ExecuteSaveDialog(SaveDialog& dialog) = 0;

    // The desktop's "open" of a document or link. Whether it worked is not reported.
    virtual void ShellOpen(std::string_view target) = 0;

    // Puts the text on the desktop's clipboard as plain text, in place of what was there: the cells a grid
    // copies (Ctrl+C). Throws Error with the reason when the clipboard cannot be had.
    virtual void SetClipboardText(std::string_view text) = 0;

protected:
    // The boxes as the host shows them; ShowMessage and ShowError have counted them.
    virtual void ShowMessageBox(std::string_view text) = 0;
    virtual void ShowErrorBox(std::string_view text) = 0;

private:
    int shown_ = 0;
};

}  // namespace tarnwell
