#include "gui_win32/control_view.h"

#include "form/widget_names.h"

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

void ControlView::AddHiddenLabel(HWND parent) {
    if (control_ == nullptr || control_->AccessibleName.empty()) return;
    // Not one of the view's widgets: those are shown with the control.
    hidden_label_ = ui_.Create(parent, L"STATIC", LabelName(*control_), SS_LEFT | SS_NOPREFIX, 0,
                               Wide(control_->AccessibleName), nullptr);
}

}  // namespace tarnwell::win32
