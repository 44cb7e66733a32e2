#include <algorithm>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

LimitsPage::LimitsPage(Ui& ui, Views& views, HWND parent, FormControls& c, const ColorScheme& colors)
    : Page(ui, views, parent, kPages[kLimitsPage]) {
    grid_ = &Make<GridView>(panel_, c.ASGLimit, colors, true);
    read_ = &Make<ButtonView>(panel_, c.SBRead);
    set_ = &Make<ButtonView>(panel_, c.SBSet);
    save_ = &Make<ButtonView>(panel_, c.SBSaveLim);
    default_limit_ = &Make<SpinEditView>(panel_, c.SEDefault);
    bar_ = GroupBox(group_frames::kLimitButtons);
}

SIZE LimitsPage::Needed() const {
    int width = ui_(8);
    for (const ButtonView* view : {read_, set_, save_}) width += ButtonWidth(*view, 120) + ui_(6);
    const int line = LineHeight(read_->Hwnd(), 25);
    return {width + ui_(4) + ui_(100) + ui_(24), ui_(80) + line + ui_(14)};
}

void LimitsPage::Layout(int width, int height) {
    const int line = LineHeight(read_->Hwnd(), 25);
    const int bar = line + ui_(12);
    Move(grid_->Hwnd(), 0, 0, width, height - bar);
    Move(bar_, 0, height - bar - ui_(2), width, bar + ui_(2));
    const int y = height - bar + ui_(6);
    int x = ui_(8);
    for (ButtonView* view : {read_, set_, save_}) {
        // 120 pixels as designed, wider where the system's font needs it for the caption.
        const int button = ButtonWidth(*view, 120);
        Move(view->Hwnd(), x, y, button, line);
        x += button + ui_(6);
    }
    default_limit_->Place({x + ui_(4), y + ui_(2), x + ui_(4) + ui_(100), y + line - ui_(2)});
}

}  // namespace tarnwell::win32
