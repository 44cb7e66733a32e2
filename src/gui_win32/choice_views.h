#pragma once

#include <vector>

#include "form/check_box.h"
#include "form/check_list_box.h"
#include "form/radio_group.h"
#include "gui_win32/control_view.h"

namespace tarnwell::win32 {

// A check list: a list with a check box before every item. Unchecked, checked and grayed each have their
// box; a click on the box or Space on the item is the user's toggle.
class CheckListView : public ControlView {
public:
    CheckListView(Ui& ui, HWND parent, CheckListBox& list);
    void Refresh() override;
    bool Notify(NMHDR& header, LRESULT& result) override;
    // Keeps the one column as wide as the list.
    void Place(const RECT& rect);
    // The area below the last item, in the list's client coordinates (where ESGToUser sits in ChLBRun).
    RECT BelowItems() const;
    // The height of one item in the list's font, and the size the list needs to show `items` whole items
    // and the widest item's text whole (with room for a vertical scroll bar when `scrolls`).
    int Count() const { return list_.Count(); }
    int ItemHeight() const;
    int NeededWidth(bool scrolls) const;
    int NeededHeight(int items) const;

private:
    void AddGrayedBox();
    void KeepFocusedItem();

    CheckListBox& list_;
};

// A check box with its caption (its accelerator's letter underlined); a click or Space is the user's toggle.
class CheckBoxView : public ControlView {
public:
    CheckBoxView(Ui& ui, HWND parent, CheckBox& box);
    void Refresh() override;
    bool Command(HWND widget, WORD code) override;
    // Its accelerator: the user's toggle.
    void Toggle() { box_.UserToggle(); }

private:
    CheckBox& box_;
};

// A radio group: a frame with its caption (none for RGkb) around radio buttons in columns.
class RadioGroupView : public ControlView {
public:
    RadioGroupView(Ui& ui, HWND parent, RadioGroup& group);
    void Refresh() override;
    bool Command(HWND widget, WORD code) override;
    void Place(const RECT& rect);
    // The size the group needs to show its caption and every item whole, in the dialog font.
    SIZE Needed() const;

private:
    int RowHeight() const;

    RadioGroup& group_;
    HWND frame_;
    std::vector<HWND> buttons_;
};

}  // namespace tarnwell::win32
