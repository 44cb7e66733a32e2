#pragma once

#include "form/gauge.h"
#include "form/status_bar.h"
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

// The status bar: one text area on RGB 201, 207, 220 that shows the hint under the mouse or a status text.
class StatusBarView : public ControlView {
public:
    StatusBarView(Ui& ui, HWND parent, StatusBar& bar);
    void Refresh() override;
    // Its height for the scale.
    void SetHeight(int pixels);

private:
    StatusBar& bar_;
};

}  // namespace tarnwell::win32
