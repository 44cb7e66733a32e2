#pragma once

#include <string>
#include <vector>

#include "form/control.h"
#include "gui_win32/ui.h"

namespace tarnwell::win32 {

// One control of the form on the screen: the widgets that show it, how its state is shown on them, and
// how the user's input on them goes into the control (through the control's user-action methods only).
// The first widget made is the view's main one: its tool tip, its place under the mouse for the hints.
class ControlView {
public:
    // A view of a control, named after it.
    ControlView(Ui& ui, Control& control) : ControlView(ui, control.Name, &control) {}
    // A decoration, or a view of something that is no control of the form.
    ControlView(Ui& ui, std::string name, Control* control) : ui_(ui), name_(std::move(name)), control_(control) {}
    virtual ~ControlView() = default;
    ControlView(const ControlView&) = delete;
    ControlView& operator=(const ControlView&) = delete;

    const std::string& Name() const { return name_; }
    // The control whose hint, Enabled and Visible the view shows; nullptr for a decoration.
    Control* FormControl() const { return control_; }
    HWND Hwnd() const { return widgets_.empty() ? nullptr : widgets_.front(); }
    const std::vector<HWND>& Widgets() const { return widgets_; }
    // The label of an edit that shows none (AddHiddenLabel), nullptr for none.
    HWND HiddenLabel() const { return hidden_label_; }

    // Shows the control's state. Runs with the widgets' notifications ignored (Ui::Refreshing).
    virtual void Refresh() { RefreshState(); }
    // WM_COMMAND and WM_NOTIFY from a widget of the view; true when the user's input went into the control.
    virtual bool Command(HWND, WORD) { return false; }
    virtual bool Notify(NMHDR&, LRESULT&) { return false; }
    // WM_DRAWITEM of an owner-drawn widget; true when drawn.
    virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }
    // WM_CTLCOLOR* of a widget: its background brush (text colours set into the DC), nullptr for the
    // system's.
    virtual HBRUSH CtlColor(HWND, HDC) { return nullptr; }
    // The mouse cursor over a widget, nullptr for the class's own.
    virtual HCURSOR Cursor(HWND) { return nullptr; }
    // The window moved to a monitor of another DPI: sizes that the view set itself are made again.
    virtual void ScaleChanged() {}

protected:
    HWND Add(HWND parent, const wchar_t* window_class, std::string_view name, DWORD style, DWORD ex_style = 0,
             const std::wstring& text = {}, FontKind font = FontKind::Dialog) {
        HWND widget = ui_.Create(parent, window_class, name, style, ex_style, text, this, font);
        widgets_.push_back(widget);
        return widget;
    }
    // For an edit without a caption strip: a label that is never shown, just before the edit, holding the
    // control's AccessibleName. Assistive technology names an edit by the label that precedes it.
    void AddHiddenLabel(HWND parent);
    // Whether the control takes the user's input now; a view over something that is no Control says so.
    virtual bool ModelEnabled() const { return control_ == nullptr || control_->Enabled; }
    // Enabled and Visible on every widget, changed only where they differ.
    void RefreshState();

    Ui& ui_;
    std::string name_;
    Control* control_;
    std::vector<HWND> widgets_;
    HWND hidden_label_ = nullptr;
};

}  // namespace tarnwell::win32
