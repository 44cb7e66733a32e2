#pragma once

#include <functional>
#include <string_view>

#include "gui_win32/ui.h"

namespace tarnwell::win32 {

// A panel handles some of its own messages (scrolling, painting, dragging).
class PanelHandler {
public:
    virtual ~PanelHandler() = default;
    // True when handled, with the result.
    virtual bool PanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) = 0;
};

// The window classes of the main window and its panels; registered once per process.
inline constexpr const wchar_t* kMainClass = L"TarnwellMainWindow";
inline constexpr const wchar_t* kPanelClass = L"TarnwellPanel";
void RegisterWindowClasses(HINSTANCE instance, WNDPROC main_proc);

// A plain child window on the button face that holds widgets: a page, the navigation column, a picture, a
// splitter. What its widgets report (commands, notifications, drawing, colours) goes on to the main
// window, where the views that own the widgets take it.
HWND CreatePanel(Ui& ui, HWND parent, std::string_view name, PanelHandler* handler, DWORD style = WS_VISIBLE);

// A bar the user drags to share space between two neighbours: `moved` gets the distance dragged in
// pixels each time the mouse moves.
class Splitter : public PanelHandler {
public:
    Splitter(Ui& ui, HWND parent, std::string_view name, bool vertical, std::function<void(int)> moved);
    HWND Hwnd() const { return hwnd_; }
    bool PanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    HWND hwnd_;
    bool vertical_;
    std::function<void(int)> moved_;
    POINT last_{};
};

}  // namespace tarnwell::win32
