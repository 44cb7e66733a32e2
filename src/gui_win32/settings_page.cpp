#include <algorithm>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

SettingsPage::SettingsPage(Ui& ui, Views& views, HWND parent, FormControls& c)
    : Page(ui, views, parent, kPages[kSettingsPage]) {
    // The widgets over the frames come first: a frame is below everything made before it.
    auto labelled = [this](Edit& edit) {
        LabelledEdit made{};
        made.label = &Make<StripView>(panel_, LabelName(edit), edit.Label);
        made.edit = &Make<EditView>(panel_, edit);
        return made;
    };
    server_ = {labelled(c.EHost),   labelled(c.EPort),     labelled(c.EDomain),
               labelled(c.EUserID), labelled(c.EPassword), labelled(c.ECAFile)};
    security_ = &Make<RadioGroupView>(panel_, c.RGSecurity);
    letter_ = {labelled(c.EFromName), labelled(c.EFromAddress), labelled(c.ESubject)};
    content_ = &Make<CheckListView>(panel_, c.ChLBCont);
    table_label_ = &Make<StripView>(panel_, LabelName(c.ChLBTable), c.ChLBTable.Label);
    table_ = &Make<CheckListView>(panel_, c.ChLBTable);
    html_label_ = &Make<StripView>(panel_, LabelName(c.ChLBHTML), c.ChLBHTML.Label);
    html_ = &Make<CheckListView>(panel_, c.ChLBHTML);
    run_label_ = &Make<StripView>(panel_, LabelName(c.ChLBRun), c.ChLBRun.Label);
    // The table address sits inside the blank lower part of the autorun list, above it.
    table_address_ = &Make<EditView>(panel_, c.ESGToUser, false);
    run_ = &Make<CheckListView>(panel_, c.ChLBRun);
    SetWindowLongW(run_->Hwnd(), GWL_STYLE, GetWindowLongW(run_->Hwnd(), GWL_STYLE) | WS_CLIPSIBLINGS);
    other_label_ = &Make<StripView>(panel_, LabelName(c.ChLBOther), c.ChLBOther.Label);
    other_ = &Make<CheckListView>(panel_, c.ChLBOther);
    kilo_ = &Make<RadioGroupView>(panel_, c.RGkb);
    server_box_ = GroupBox(group_frames::kServer);
    letter_box_ = GroupBox(group_frames::kLetter);
    content_box_ = GroupBox(group_frames::kContent);
    columns_box_ = GroupBox(group_frames::kColumns);
    options_box_ = GroupBox(group_frames::kOptions);
    SetWindowPos(table_address_->Hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Its label, never shown, stays just before it, where assistive technology looks for it.
    SetWindowPos(table_address_->HiddenLabel(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SettingsPage::PlaceEdit(EditView& edit, StripView& label, int x, int y, int width, int label_width) {
    if (label_width == 0) label_width = ui_(104);
    Move(label.Hwnd(), x, y, label_width, ui_(21));
    Move(edit.Hwnd(), x + label_width + ui_(2), y, width - label_width - ui_(2), ui_(21));
}

template <typename Edits>
int SettingsPage::LabelWidth(const Edits& edits, int least, int most) const {
    // As wide as the longest caption of the column needs (the desktop's font may be wider than the
    // designed one), from the designed width up to three fifths of the edit's line.
    int widest = 0;
    for (const LabelledEdit& edit : edits) widest = std::max(widest, CaptionWidth(edit.label->Hwnd()));
    return std::clamp(widest + ui_(8), least, std::max(least, most));
}

void SettingsPage::Layout(int width, int height) {
    const int gap = ui_(4);
    const int caption = ui_(18);
    const int row = ui_(24);
    const int strip = ui_(18);

    // Top: the mail server and the letter side by side. The server's six edits stand two a line with the
    // protection under them, so its group takes the larger share of the width.
    const int security_height = ui_(40);
    const int server_lines = static_cast<int>(server_.size() + 1) / 2;
    const int top_height = std::max(caption + server_lines * row + security_height, caption + 4 * row) + gap;
    const int server_width = (width - 3 * gap) * 3 / 5;
    const int letter_width = width - 3 * gap - server_width;
    Move(server_box_, gap, 0, server_width, top_height);
    Move(letter_box_, 2 * gap + server_width, 0, letter_width, top_height);
    const int pair_width = (server_width - 3 * gap) / 2;
    const int server_label = LabelWidth(server_, ui_(72), pair_width * 3 / 5);
    for (std::size_t i = 0; i < server_.size(); ++i) {
        const int x = 2 * gap + static_cast<int>(i % 2) * (pair_width + gap);
        PlaceEdit(*server_[i].edit, *server_[i].label, x, caption + static_cast<int>(i / 2) * row, pair_width,
                  server_label);
    }
    const int security_top = caption + server_lines * row;
    security_->Place({2 * gap, security_top, server_width, security_top + security_height});
    const int letter_label = LabelWidth(letter_, ui_(104), (letter_width - 2 * gap) * 3 / 5);
    for (std::size_t i = 0; i < letter_.size(); ++i) {
        PlaceEdit(*letter_[i].edit, *letter_[i].label, 3 * gap + server_width, caption + static_cast<int>(i) * row,
                  letter_width - 2 * gap, letter_label);
    }

    // Below: content, columns and options, left to right.
    const int top = top_height + gap;
    const int bottom = height - gap;
    const int box_height = std::max(0, bottom - top);
    const int content_width = (width - 4 * gap) * 28 / 100;
    const int columns_width = (width - 4 * gap) * 36 / 100;
    const int options_width = width - 4 * gap - content_width - columns_width;
    const int x1 = gap;
    const int x2 = x1 + content_width + gap;
    const int x3 = x2 + columns_width + gap;
    Move(content_box_, x1, top, content_width, box_height);
    Move(columns_box_, x2, top, columns_width, box_height);
    Move(options_box_, x3, top, options_width, box_height);
    const int inner_top = top + caption;
    const int inner_bottom = bottom - gap;
    content_->Place({x1 + gap, inner_top, x1 + content_width - gap, inner_bottom});

    const int list_width = (columns_width - 3 * gap) / 2;
    Move(table_label_->Hwnd(), x2 + gap, inner_top, list_width, strip);
    table_->Place({x2 + gap, inner_top + strip, x2 + gap + list_width, inner_bottom});
    Move(html_label_->Hwnd(), x2 + 2 * gap + list_width, inner_top, list_width, strip);
    html_->Place({x2 + 2 * gap + list_width, inner_top + strip, x2 + 2 * gap + 2 * list_width, inner_bottom});

    // Options: autorun (with the table address under its items), other options, the kilobyte.
    const int inner_left = x3 + gap;
    const int inner_width = options_width - 2 * gap;
    const int kilo_height = ui_(30);
    const int free = std::max(0, inner_bottom - inner_top - kilo_height - 2 * strip - gap);
    const int run_height = free * 58 / 100;
    int y = inner_top;
    Move(run_label_->Hwnd(), inner_left, y, inner_width, strip);
    y += strip;
    run_->Place({inner_left, y, inner_left + inner_width, y + run_height});
    RECT below = run_->BelowItems();
    const int address_height = ui_(18);
    const int address_top =
        std::min(static_cast<int>(below.top) + ui_(2), std::max(0, static_cast<int>(below.bottom) - address_height));
    POINT at{below.left + ui_(2), address_top};
    MapWindowPoints(run_->Hwnd(), panel_, &at, 1);
    Move(table_address_->Hwnd(), at.x, at.y, below.right - below.left - ui_(4), address_height);
    y += run_height;
    Move(other_label_->Hwnd(), inner_left, y, inner_width, strip);
    y += strip;
    const int other_height = std::max(0, inner_bottom - kilo_height - gap - y);
    other_->Place({inner_left, y, inner_left + inner_width, y + other_height});
    kilo_->Place({inner_left, inner_bottom - kilo_height, inner_left + inner_width, inner_bottom});
}

}  // namespace tarnwell::win32
