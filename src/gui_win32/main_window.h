#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "app/tf_send.h"
#include "gui_win32/pages.h"
#include "gui_win32/ui.h"

namespace tarnwell::win32 {

class Win32Host;

// The main window FSend on the Win32 API: the navigation column on the right, the five pages of PC1 in
// the middle (no tabs), the status bar at the bottom. It shows TFSend's controls and keeps no state of
// the program: the user's input goes into the controls through their user-action methods, and the
// window reads every control again after each handler (Refresh, through Host::ControlsChanged).
//
// Every widget carries the ID of its control's name (control_id.h). Designed sizes are scaled to the
// monitor's DPI, and follow the window to another monitor.
class MainWindow {
public:
    // Makes the window, hidden. Throws when the system cannot make it.
    MainWindow(HINSTANCE instance, TFSend& form, Win32Host& host);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Hwnd() const { return hwnd_; }
    void Show(int show_command);

    // Shows every control again; a grid only when its Revision has moved.
    void Refresh();
    // Draws the control's widgets at once, while a handler still runs.
    void RepaintNow(const Control& control);
    // Sees every message the thread takes before it is dispatched: the status bar follows the mouse,
    // and Tab moves between the widgets. True when the message has been handled here.
    bool PreTranslate(MSG& message);

    // The widget of a control's name, or nullptr; the view that owns a widget, or nullptr.
    HWND Find(std::string_view name) const;
    ControlView* ViewOf(HWND widget) const { return ui_.ViewOf(widget); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void Create();
    void Layout();
    void FitToFonts();
    int NavWidth() const;
    void UserActed();
    void ShowHintFor(HWND widget);
    static HWND WidgetUnder(HWND widget, LPARAM at);
    bool PageKey(HWND target, WPARAM key);
    // Ctrl+F, F3 and Shift+F3, Escape in the find bar, Enter in an edit that takes it. True when handled.
    bool FindKey(HWND target, WPARAM key);
    bool FindBarWanted() const;
    // Alt and a letter: the accelerator of that letter among the controls shown presses its button (flips
    // its check box) or takes the focus to its control. True when a control shown has the letter.
    bool PressAccelerator(wchar_t letter);
    void AddToolTips();
    bool ToolTipText(NMHDR& header);
    void ShowGridMenu(POINT screen);
    void DpiChanged(int dpi, const RECT& suggested);

    TFSend& form_;
    Win32Host& host_;
    Ui ui_;
    HWND hwnd_ = nullptr;
    Views views_;
    std::unique_ptr<NavColumn> nav_;
    std::array<std::unique_ptr<Page>, kPageCount> pages_;
    std::unique_ptr<FindBarPage> find_;
    bool find_shown_ = false;
    StatusBarView* status_ = nullptr;
    HWND tooltip_ = nullptr;
    std::wstring tip_text_;
    const Control* hinted_ = nullptr;
    bool hint_known_ = false;
    HWND focus_seen_ = nullptr;
};

}  // namespace tarnwell::win32
