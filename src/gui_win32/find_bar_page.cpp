#include <algorithm>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

FindBarPage::FindBarPage(Ui& ui, Views& views, HWND parent, FormControls& c)
    : Page(ui, views, parent, WindowPart{c.PFind.Name, c.PFind.AccessibleName}) {
    // A panel draws no text of its own: its text is the bar's name for screen readers.
    SetWindowTextW(panel_, Wide(c.PFind.AccessibleName).c_str());
    label_ = &Make<StripView>(panel_, c.EFind, c.EFind.Label);
    text_ = &Make<EditView>(panel_, c.EFind);
    next_ = &Make<ButtonView>(panel_, c.SBFindNext);
    prev_ = &Make<ButtonView>(panel_, c.SBFindPrev);
    whole_ = &Make<CheckBoxView>(panel_, c.CBWholeCell);
}

namespace {

// A check box's width: the box, the gap and the caption.
int CheckBoxWidth(HWND box, const Ui& ui) {
    return TextWidthIn(box, WindowTextOf(box)) + ui(24);
}

}  // namespace

SIZE FindBarPage::Needed() const {
    const int width = StripWidth(*label_, 50) + ui_(120) + ButtonWidth(*next_, 70) + ButtonWidth(*prev_, 70) +
                      CheckBoxWidth(whole_->Hwnd(), ui_) + ui_(20);
    return {width, LineHeight(text_->Hwnd(), 21) + ui_(8)};
}

void FindBarPage::Layout(int width, int height) {
    const int line = LineHeight(text_->Hwnd(), 21);
    const int y = (height - line) / 2;
    const int label = StripWidth(*label_, 50);
    const int next = ButtonWidth(*next_, 70);
    const int prev = ButtonWidth(*prev_, 70);
    const int whole = CheckBoxWidth(whole_->Hwnd(), ui_);
    const int edit = std::max(ui_(60), width - label - next - prev - whole - ui_(20));
    int x = ui_(2);
    Move(label_->Hwnd(), x, y, label, line);
    x += label + ui_(2);
    Move(text_->Hwnd(), x, y, edit, line);
    x += edit + ui_(4);
    Move(next_->Hwnd(), x, y - ui_(1), next, line + ui_(2));
    x += next + ui_(4);
    Move(prev_->Hwnd(), x, y - ui_(1), prev, line + ui_(2));
    x += prev + ui_(6);
    Move(whole_->Hwnd(), x, y, whole, line);
}

}  // namespace tarnwell::win32
