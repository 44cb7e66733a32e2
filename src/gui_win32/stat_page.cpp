#include <algorithm>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

StatPage::StatPage(Ui& ui, Views& views, HWND parent, FormControls& c, const ColorScheme& colors)
    : Page(ui, views, parent, kPages[kStatPage]) {
    grid_ = &Make<GridView>(panel_, c.ASGRead, colors, false);
    // A click on a column header sorts the rows shown; the table itself keeps its order.
    grid_->SetRowSort(SortedStatisticsRows);
    path_label_ = &Make<StripView>(panel_, c.EHTMLPath, c.EHTMLPath.Label);
    path_ = &Make<EditView>(panel_, c.EHTMLPath);
    edit_path_ = &Make<ButtonView>(panel_, c.SBEditPathHTML);
    precision_label_ = &Make<StripView>(panel_, c.CSETochn, c.CSETochn.Label);
    precision_ = &Make<SpinEditView>(panel_, c.CSETochn);
    save_html_ = &Make<ButtonView>(panel_, c.SBSaveHTML);
    send_ = &Make<ButtonView>(panel_, c.SBSend1);
    unit_ = &Make<RadioGroupView>(panel_, c.RG1);
}

namespace {

// The least height of a table, so that a few rows show under its header.
constexpr int kLeastGrid = 80;

}  // namespace

SIZE StatPage::Needed() const {
    const int gap = ui_(4);
    const int line = LineHeight(path_->Hwnd(), 21);
    const int label = std::max(StripWidth(*path_label_, 96), StripWidth(*precision_label_, 96));
    const SIZE unit = unit_->Needed();
    const int unit_width = std::max(ui_(190), static_cast<int>(unit.cx));
    const int first = label + ui_(120) + ui_(24) + 4 * gap;
    const int second = label + ui_(48) + ButtonWidth(*save_html_, 110) + ButtonWidth(*send_, 80) + 5 * gap;
    const int bar = std::max({ui_(59), 2 * line + ui_(17), static_cast<int>(unit.cy) + ui_(2)});
    return {std::max(first, second) + unit_width + 2 * gap, ui_(kLeastGrid) + bar};
}

void StatPage::Layout(int width, int height) {
    const int gap = ui_(4);
    const int line = LineHeight(path_->Hwnd(), 21);
    const SIZE unit = unit_->Needed();
    const int bar = std::max({ui_(59), 2 * line + ui_(17), static_cast<int>(unit.cy) + ui_(2)});
    Move(grid_->Hwnd(), 0, 0, width, height - bar);
    const int unit_width = std::min(std::max(ui_(190), static_cast<int>(unit.cx)), width / 2);
    const int unit_left = width - unit_width - gap;
    unit_->Place({unit_left, height - bar + ui_(1), unit_left + unit_width, height - ui_(1)});

    const int label = std::max(StripWidth(*path_label_, 96), StripWidth(*precision_label_, 96));
    const int y1 = height - bar + ui_(6);
    const int y2 = y1 + line + ui_(6);
    Move(path_label_->Hwnd(), gap, y1, label, line);
    const int dots = std::max(ui_(24), line + ui_(2));
    Move(path_->Hwnd(), gap * 2 + label, y1, unit_left - 4 * gap - label - dots, line);
    Move(edit_path_->Hwnd(), unit_left - gap - dots, y1, dots, line);
    Move(precision_label_->Hwnd(), gap, y2, label, line);
    precision_->Place({gap * 2 + label, y2, gap * 2 + label + ui_(48), y2 + line});
    int x = gap * 3 + label + ui_(48);
    const int button_height = line + ui_(2);
    const int save_width = ButtonWidth(*save_html_, 110);
    Move(save_html_->Hwnd(), x, y2 - ui_(1), save_width, button_height);
    x += save_width + gap;
    Move(send_->Hwnd(), x, y2 - ui_(1), ButtonWidth(*send_, 80), button_height);
}

}  // namespace tarnwell::win32
