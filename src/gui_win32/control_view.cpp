#include "gui_win32/control_view.h"

namespace tarnwell::win32 {

void ControlView::RefreshState() {
    const bool enabled = ModelEnabled();
    const bool visible = control_ == nullptr || control_->Visible;
    for (HWND widget : widgets_) {
        if ((IsWindowEnabled(widget) != FALSE) != enabled) EnableWindow(widget, enabled);
        const bool shown = (GetWindowLongW(widget, GWL_STYLE) & WS_VISIBLE) != 0;
        if (shown != visible) ShowWindow(widget, visible ? SW_SHOWNA : SW_HIDE);
    }
}

}  // namespace tarnwell::win32
