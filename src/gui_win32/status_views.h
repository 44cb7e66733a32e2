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
    GaugeView(Ui& ui, HWND parent, std::string name, Gauge& gauge);
    void Refresh() override;

private:
    Gauge& gauge_;
};

// The cancel button under the gauge (SBCancel): shown only while a save runs, and the column makes room for
// it then. `shown_or_hidden` runs whenever a refresh has shown or hidden it.
class GaugeCancelView : public ButtonView {
public:
    GaugeCancelView(Ui& ui, HWND parent, std::string name, Button& button, std::function<void()> shown_or_hidden)
        : ButtonView(ui, parent, std::move(name), button), shown_or_hidden_(std::move(shown_or_hidden)) {}
    void Refresh() override;
    bool Shown() const { return (GetWindowLongW(Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0; }

private:
    std::function<void()> shown_or_hidden_;
};

// The status bar: one text area on RGB 201, 207, 220 that shows the hint under the mouse or a status text.
class StatusBarView : public ControlView {
public:
    StatusBarView(Ui& ui, HWND parent, std::string name, StatusBar& bar);
    void Refresh() override;
    // Its height for the scale.
    void SetHeight(int pixels);

private:
    StatusBar& bar_;
};

}  // namespace tarnwell::win32
