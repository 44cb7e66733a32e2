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

void LimitsPage::Layout(int width, int height) {
    const int bar = ui_(37);
    Move(grid_->Hwnd(), 0, 0, width, height - bar);
    Move(bar_, 0, height - bar - ui_(2), width, bar + ui_(2));
    const int y = height - bar + ui_(6);
    int x = ui_(8);
    for (ButtonView* view : {read_, set_, save_}) {
        // 120 pixels as designed, wider where the system's font needs it for the caption.
        const int button = std::max(ui_(120), CaptionWidth(view->Hwnd()) + ui_(16));
        Move(view->Hwnd(), x, y, button, ui_(25));
        x += button + ui_(6);
    }
    default_limit_->Place({x + ui_(4), y + ui_(2), x + ui_(4) + ui_(100), y + ui_(23)});
}

}  // namespace tarnwell::win32
