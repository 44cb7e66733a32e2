#include <algorithm>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

SettingsPage::SettingsPage(Ui& ui, Views& views, HWND parent, FormControls& c)
    : Page(ui, views, parent, kPages[kSettingsPage]) {
    // The widgets over the frames come first: a frame is below everything made before it.
    auto labelled = [this](Edit& edit) {
        LabelledEdit made{};
        made.label = &Make<StripView>(panel_, edit, edit.Label);
        made.edit = &Make<EditView>(panel_, edit);
        return made;
    };
    server_ = {labelled(c.EHost),   labelled(c.EPort),     labelled(c.EDomain),
               labelled(c.EUserID), labelled(c.EPassword), labelled(c.ECAFile)};
    security_ = &Make<RadioGroupView>(panel_, c.RGSecurity);
    letter_ = {labelled(c.EFromName), labelled(c.EFromAddress), labelled(c.ESubject)};
    content_ = &Make<CheckListView>(panel_, c.ChLBCont);
    table_label_ = &Make<StripView>(panel_, c.ChLBTable, c.ChLBTable.Label);
    table_ = &Make<CheckListView>(panel_, c.ChLBTable);
    html_label_ = &Make<StripView>(panel_, c.ChLBHTML, c.ChLBHTML.Label);
    html_ = &Make<CheckListView>(panel_, c.ChLBHTML);
    run_label_ = &Make<StripView>(panel_, c.ChLBRun, c.ChLBRun.Label);
    // The table address sits inside the blank lower part of the autorun list, above it.
    table_address_ = &Make<EditView>(panel_, c.ESGToUser, false);
    run_ = &Make<CheckListView>(panel_, c.ChLBRun);
    SetWindowLongW(run_->Hwnd(), GWL_STYLE, GetWindowLongW(run_->Hwnd(), GWL_STYLE) | WS_CLIPSIBLINGS);
    other_label_ = &Make<StripView>(panel_, c.ChLBOther, c.ChLBOther.Label);
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

void SettingsPage::PlaceEdit(EditView& edit, StripView& label, int x, int y, int width, int label_width,
                             int height) {
    Move(label.Hwnd(), x, y, label_width, height);
    Move(edit.Hwnd(), x + label_width + ui_(2), y, width - label_width - ui_(2), height);
}

template <typename Edits>
int SettingsPage::LabelWidth(const Edits& edits, int least) const {
    // As wide as the longest caption of the column needs: the desktop's font may be wider than the
    // designed one.
    int widest = 0;
    for (const LabelledEdit& edit : edits) widest = std::max(widest, CaptionWidth(edit.label->Hwnd()));
    return std::max(least, widest + ui_(8));
}

namespace {

int FrameCaptionWidth(HWND frame) {
    return TextWidthIn(frame, WindowTextOf(frame));
}

}  // namespace

// Every size below comes from the fonts the widgets draw with, with the designed sizes as the least:
// the page never cuts a caption or a list item, and the window opens large enough for it (Needed).
SettingsPage::Metrics SettingsPage::Measure() const {
    Metrics m{};
    m.gap = ui_(4);
    m.caption = std::max(ui_(18), FontHeight(server_box_) + ui_(4));
    m.edit = LineHeight(server_[0].edit->Hwnd(), 21);
    m.row = m.edit + ui_(3);
    m.strip = LineHeight(table_label_->Hwnd(), 18) - ui_(3);

    // Top: the mail server's six edits two a line over the protection, and the letter's three edits.
    m.server_label = LabelWidth(server_, ui_(72));
    m.letter_label = LabelWidth(letter_, ui_(104));
    const SIZE security = security_->Needed();
    m.security_height = std::max(ui_(40), static_cast<int>(security.cy));
    const int server_lines = static_cast<int>(server_.size() + 1) / 2;
    m.top_height = std::max(m.caption + server_lines * m.row + m.security_height, m.caption + 4 * m.row) + m.gap;
    const int pair = m.server_label + ui_(2) + ui_(56);
    m.server_width = std::max({2 * pair + 3 * m.gap, static_cast<int>(security.cx) + 2 * m.gap,
                               FrameCaptionWidth(server_box_) + ui_(20)});
    m.letter_width = std::max(m.letter_label + ui_(2) + ui_(100) + 2 * m.gap, FrameCaptionWidth(letter_box_) + ui_(20));

    // Below: the content shows all its lines; the two column lists scroll, each as wide as its widest
    // item and its caption; the options show every item, the table address under the autorun items.
    m.content_width = std::max(content_->NeededWidth(false), FrameCaptionWidth(content_box_) + ui_(12)) + 2 * m.gap;
    m.columns_list = std::max({table_->NeededWidth(true), html_->NeededWidth(true),
                               CaptionWidth(table_label_->Hwnd()) + ui_(6), CaptionWidth(html_label_->Hwnd()) + ui_(6)});
    m.columns_list = std::max(m.columns_list, (FrameCaptionWidth(columns_box_) + ui_(12) - m.gap) / 2);
    const SIZE kilo = kilo_->Needed();
    m.kilo_height = std::max(ui_(30), static_cast<int>(kilo.cy));
    m.options_width = std::max({run_->NeededWidth(false), other_->NeededWidth(false),
                                CaptionWidth(run_label_->Hwnd()) + ui_(6), CaptionWidth(other_label_->Hwnd()) + ui_(6),
                                static_cast<int>(kilo.cx), FrameCaptionWidth(options_box_) + ui_(12)}) +
                      2 * m.gap;
    m.address_height = FontHeight(table_address_->Hwnd()) + ui_(4);
    m.run_height = run_->NeededHeight(run_->Count()) + m.address_height + ui_(4);
    m.other_height = other_->NeededHeight(other_->Count());
    const int content = content_->NeededHeight(content_->Count());
    const int columns = m.strip + table_->NeededHeight(4);
    const int options = m.strip + m.run_height + m.strip + m.other_height + m.gap + m.kilo_height;
    m.bottom_height = m.caption + std::max({content, columns, options}) + m.gap;
    return m;
}

SIZE SettingsPage::Needed() const {
    const Metrics m = Measure();
    const int top = m.server_width + m.letter_width + 3 * m.gap;
    const int bottom = m.content_width + (2 * m.columns_list + 3 * m.gap) + m.options_width + 4 * m.gap;
    return {std::max(top, bottom), m.top_height + m.gap + m.bottom_height + m.gap};
}

void SettingsPage::Layout(int width, int height) {
    const Metrics m = Measure();
    const int gap = m.gap;
    const int caption = m.caption;
    const int row = m.row;
    const int strip = m.strip;

    // Top: the mail server and the letter side by side; the width beyond their needs goes three fifths
    // to the server.
    const int top_extra = width - 3 * gap - m.server_width - m.letter_width;
    const int server_width = m.server_width + top_extra * 3 / 5;
    const int letter_width = width - 3 * gap - server_width;
    const int top_height = m.top_height;
    Move(server_box_, gap, 0, server_width, top_height);
    Move(letter_box_, 2 * gap + server_width, 0, letter_width, top_height);
    const int pair_width = (server_width - 3 * gap) / 2;
    for (std::size_t i = 0; i < server_.size(); ++i) {
        const int x = 2 * gap + static_cast<int>(i % 2) * (pair_width + gap);
        PlaceEdit(*server_[i].edit, *server_[i].label, x, caption + static_cast<int>(i / 2) * row, pair_width,
                  m.server_label, m.edit);
    }
    const int server_lines = static_cast<int>(server_.size() + 1) / 2;
    const int security_top = caption + server_lines * row;
    security_->Place({2 * gap, security_top, server_width, security_top + m.security_height});
    for (std::size_t i = 0; i < letter_.size(); ++i) {
        PlaceEdit(*letter_[i].edit, *letter_[i].label, 3 * gap + server_width, caption + static_cast<int>(i) * row,
                  letter_width - 2 * gap, m.letter_label, m.edit);
    }

    // Below: content, columns and options, left to right, the width beyond their needs shared 28:36:36.
    const int top = top_height + gap;
    const int bottom = std::max(top + m.bottom_height, height - gap);
    const int box_height = bottom - top;
    const int columns_need = 2 * m.columns_list + 3 * gap;
    const int bottom_extra = width - 4 * gap - m.content_width - columns_need - m.options_width;
    const int content_width = m.content_width + bottom_extra * 28 / 100;
    const int columns_width = columns_need + bottom_extra * 36 / 100;
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

    // Options: autorun (the table address under its items, never over them), other options, the kilobyte.
    // The height beyond their needs goes to the two lists.
    const int inner_left = x3 + gap;
    const int inner_width = options_width - 2 * gap;
    const int spare = std::max(0, inner_bottom - inner_top - 2 * strip - m.run_height - m.other_height - gap -
                                      m.kilo_height);
    const int run_height = m.run_height + spare * 58 / 100;
    int y = inner_top;
    Move(run_label_->Hwnd(), inner_left, y, inner_width, strip);
    y += strip;
    run_->Place({inner_left, y, inner_left + inner_width, y + run_height});
    RECT below = run_->BelowItems();
    const int address_top = static_cast<int>(below.top) + ui_(2);
    const int address_height = std::min(m.address_height, std::max(0, static_cast<int>(below.bottom) - address_top));
    POINT at{below.left + ui_(2), address_top};
    MapWindowPoints(run_->Hwnd(), panel_, &at, 1);
    Move(table_address_->Hwnd(), at.x, at.y, below.right - below.left - ui_(4), address_height);
    y += run_height;
    Move(other_label_->Hwnd(), inner_left, y, inner_width, strip);
    y += strip;
    const int other_height = std::max(0, inner_bottom - m.kilo_height - gap - y);
    other_->Place({inner_left, y, inner_left + inner_width, y + other_height});
    kilo_->Place({inner_left, inner_bottom - m.kilo_height, inner_left + inner_width, inner_bottom});
}

}  // namespace tarnwell::win32
