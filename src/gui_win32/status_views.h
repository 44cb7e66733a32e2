#pragma once

#include <functional>

#include "form/gauge.h"
#include "form/status_bar.h"
#include "gui_win32/button_views.h"
#include "gui_win32/control_view.h"

namespace tarnwell::win32 {

// The progress gauge at the foot of the navigation column: a bar of RGB 0, 128, 255.
class GaugeView : public ControlView {
public:
    GaugeView(Ui& ui, HWND parent, Gauge& gauge);
    void Refresh() override;

private:
    Gauge& gauge_;
};

// The cancel button under the gauge (SBCancel): shown only while a save runs, and the column makes room for
// it then. `shown_or_hidden` runs whenever a refresh has shown or hidden it.
class GaugeCancelView : public ButtonView {
public:
    GaugeCancelView(Ui& ui, HWND parent, Button& button, std::function<void()> shown_or_hidden)
        : ButtonView(ui, parent, button), shown_or_hidden_(std::move(shown_or_hidden)) {}
    void Refresh() override;
    bool Shown() const { return (GetWindowLongW(Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0; }

private:
    std::function<void()> shown_or_hidden_;
};

// The status bar on RGB 201, 207, 220: the text area (the hint under the mouse or a status text) and, at
// its right, the outcome area, as wide as its text (at most two thirds of the bar). Screen readers read
// both parts, as the status bar control offers them.
class StatusBarView : public ControlView {
public:
    StatusBarView(Ui& ui, HWND parent, StatusBar& bar);
    void Refresh() override;
    // Its height for the scale.
    void SetHeight(int pixels);
    // Divides the bar between its two areas for its width and the outcome's text; after a resize too.
    void PlaceParts();

private:
    static void SetPartText(HWND bar, int part, const std::wstring& text, WPARAM style);

    StatusBar& bar_;
    std::wstring outcome_shown_;
};

}  // namespace tarnwell::win32
