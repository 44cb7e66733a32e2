#pragma once

#include <functional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

class ControlView;

// The fonts of the window, all made for the monitor the window is on.
enum class FontKind { Dialog, Bold, Grid, Link };

// What the widgets of the main window share: the window itself, the scale and fonts of its monitor, the
// table from widgets to the views that own them, and the way back to the window after the user acted.
//
// Notifications that the window's own refresh causes (a text set into an edit, a check state set into a
// list) are not the user's: views ignore them while Refreshing() is true.
class Ui {
public:
    Ui(HINSTANCE instance, int dpi);

    HINSTANCE Instance() const { return instance_; }
    HWND Main() const { return main_; }
    void SetMain(HWND main) { main_ = main; }

    const Scale& S() const { return scale_; }
    int operator()(int designed) const { return scale_(designed); }
    HFONT Font(FontKind kind) const;
    // New scale and fonts; every widget made through Create gets its font again.
    void SetDpi(int dpi);

    bool Refreshing() const { return refreshing_ > 0; }
    // Marks the span of a refresh (nestable).
    class RefreshScope {
    public:
        explicit RefreshScope(Ui& ui) : ui_(ui) { ++ui_.refreshing_; }
        ~RefreshScope() { --ui_.refreshing_; }
        RefreshScope(const RefreshScope&) = delete;
        RefreshScope& operator=(const RefreshScope&) = delete;

    private:
        Ui& ui_;
    };

    // A child widget named for ControlId, in the given font, owned by `view` (may be null for decoration).
    // Throws when the window cannot make it or the name's ID is taken.
    HWND Create(HWND parent, const wchar_t* window_class, std::string_view name, DWORD style, DWORD ex_style,
                const std::wstring& text, ControlView* view, FontKind font = FontKind::Dialog);

    // The control ID of a widget of that name (ControlId), which no other widget may have. Throws when
    // another name has the same number.
    int Claim(std::string_view name);

    // The view that owns the widget, or the nearest one up its parents; nullptr when none.
    ControlView* ViewOf(HWND widget) const;
    ControlView* ViewAround(HWND widget) const;

    // The views' way back: after the user's input went into a control, the window shows every control
    // again (a handler may have run, and a control without one still has to show what it took).
    std::function<void()> UserActed;
    // A right click or the menu key on a view that has a pop-up menu; the point in screen coordinates.
    std::function<void(ControlView&, POINT)> ContextMenu;

    // The background of the caption strips and the status bar.
    HBRUSH StripBrush() const { return strip_brush_.get(); }
    static constexpr COLORREF kStripColor = RGB(201, 207, 220);

private:
    void MakeFonts();

    HINSTANCE instance_;
    HWND main_ = nullptr;
    Scale scale_;
    GdiObject<HFONT> fonts_[4];
    GdiObject<HBRUSH> strip_brush_;
    int refreshing_ = 0;
    std::unordered_map<HWND, ControlView*> views_;
    std::vector<std::pair<HWND, FontKind>> widgets_;
    std::set<int> ids_;
};

}  // namespace tarnwell::win32
