#include <algorithm>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

StatPage::StatPage(Ui& ui, Views& views, HWND parent, FormControls& c, const ColorScheme& colors)
    : Page(ui, views, parent, kPages[kStatPage]) {
    grid_ = &Make<GridView>(panel_, c.ASGRead, colors, false);
    // A click on a column header sorts the rows shown; the table itself keeps its order.
    grid_->SetRowSort(SortedStatisticsRows);
    path_label_ = &Make<StripView>(panel_, LabelName(c.EHTMLPath), c.EHTMLPath.Label);
    path_ = &Make<EditView>(panel_, c.EHTMLPath);
    edit_path_ = &Make<ButtonView>(panel_, c.SBEditPathHTML);
    precision_label_ = &Make<StripView>(panel_, LabelName(c.CSETochn), c.CSETochn.Label);
    precision_ = &Make<SpinEditView>(panel_, c.CSETochn);
    save_html_ = &Make<ButtonView>(panel_, c.SBSaveHTML);
    send_ = &Make<ButtonView>(panel_, c.SBSend1);
    unit_ = &Make<RadioGroupView>(panel_, c.RG1);
}

void StatPage::Layout(int width, int height) {
    const int bar = ui_(59);
    Move(grid_->Hwnd(), 0, 0, width, height - bar);
    const int gap = ui_(4);
    const int unit_width = std::min(ui_(190), width / 2);
    const int unit_left = width - unit_width - gap;
    unit_->Place({unit_left, height - bar + ui_(1), unit_left + unit_width, height - ui_(1)});

    const int label = ui_(96);
    const int line = ui_(21);
    const int y1 = height - bar + ui_(6);
    const int y2 = y1 + line + ui_(6);
    Move(path_label_->Hwnd(), gap, y1, label, line);
    const int dots = ui_(24);
    Move(path_->Hwnd(), gap * 2 + label, y1, unit_left - 4 * gap - label - dots, line);
    Move(edit_path_->Hwnd(), unit_left - gap - dots, y1, dots, line);
    Move(precision_label_->Hwnd(), gap, y2, label, line);
    precision_->Place({gap * 2 + label, y2, gap * 2 + label + ui_(48), y2 + line});
    int x = gap * 3 + label + ui_(48);
    Move(save_html_->Hwnd(), x, y2 - ui_(1), ui_(110), ui_(23));
    x += ui_(110) + gap;
    Move(send_->Hwnd(), x, y2 - ui_(1), ui_(80), ui_(23));
}

}  // namespace tarnwell::win32
