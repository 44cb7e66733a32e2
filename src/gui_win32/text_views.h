#pragma once

#include "form/edit.h"
#include "form/memo.h"
#include "form/spin_edit.h"
#include "gui_win32/control_view.h"

namespace tarnwell::win32 {

// A caption strip: a read-only label with a soft bevel on the strip colour. It belongs to no control, so
// the mouse over it shows the hint of what encloses it (none on the pages).
class StripView : public ControlView {
public:
    StripView(Ui& ui, HWND parent, std::string name, std::string_view caption);
    // The caption strip of a control: named after it, its caption with the control's accelerator letter
    // underlined; Alt and the letter take the focus to the control made just after the strip.
    StripView(Ui& ui, HWND parent, const Control& labelled, std::string_view caption);
    HBRUSH CtlColor(HWND, HDC dc) override;
};

// A one-line edit. `border`: the sunken edge of an ordinary edit; ESGToUser sits without one inside the
// list it belongs to.
class EditView : public ControlView {
public:
    EditView(Ui& ui, HWND parent, Edit& edit, bool border = true);
    void Refresh() override;
    bool Command(HWND widget, WORD code) override;
    HBRUSH CtlColor(HWND, HDC dc) override;
    // Enter in the edit: the control's accept (a find, a filter). False when the edit takes none.
    bool Accept();

private:
    Edit& edit_;
};

// The spin edit: an edit with up and down arrows. An arrow adds or takes one from the value (clamped into
// its range by the control) as typed text, so that the change handler runs as for typing.
class SpinEditView : public ControlView {
public:
    SpinEditView(Ui& ui, HWND parent, SpinEdit& spin);
    void Refresh() override;
    bool Command(HWND widget, WORD code) override;
    bool Notify(NMHDR& header, LRESULT& result) override;
    // The edit and its arrows in the rectangle.
    void Place(const RECT& rect);

private:
    SpinEdit& spin_;
    HWND edit_;
    HWND arrows_;
};

// The About page's memo: read-only lines, centred, lime on black, without a border.
class MemoView : public ControlView {
public:
    MemoView(Ui& ui, HWND parent, Memo& memo);
    void Refresh() override;
    HBRUSH CtlColor(HWND, HDC dc) override;
    // Places the memo; its lines, centred, wrap in an edit, so a font too wide for the longest line is
    // made smaller until that line fits.
    void Place(const RECT& rect);

private:
    Memo& memo_;
    GdiObject<HBRUSH> black_;
    GdiObject<HFONT> fitted_;
};

}  // namespace tarnwell::win32
