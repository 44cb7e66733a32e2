#include <algorithm>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

Page::Page(Ui& ui, Views& views, HWND parent, const FormPage& page)
    : ui_(ui), views_(views), panel_(CreatePanel(ui, parent, page.Name, nullptr, 0)) {
    // A panel draws no text of its own.
    SetWindowTextW(panel_, Wide(page.Title).c_str());
}

Page::Page(Ui& ui, Views& views, HWND parent, const WindowPart& part)
    : ui_(ui), views_(views), panel_(CreatePanel(ui, parent, part.Name, nullptr, 0)) {}

void Page::Place(const RECT& rect) {
    width_ = rect.right - rect.left;
    height_ = rect.bottom - rect.top;
    MoveWindow(panel_, rect.left, rect.top, width_, height_, TRUE);
    Layout(width_, height_);
}

void Page::Relayout() {
    Layout(width_, height_);
}

HWND Page::GroupBox(const GroupFrame& frame) {
    return ui_.Create(panel_, L"BUTTON", frame.Name, WS_VISIBLE | BS_GROUPBOX, 0, Wide(frame.Caption), nullptr);
}

void Page::Move(HWND widget, int x, int y, int width, int height) {
    MoveWindow(widget, x, y, std::max(0, width), std::max(0, height), TRUE);
}

int Page::CaptionWidth(HWND widget) {
    return TextWidthIn(widget, WindowTextOf(widget));
}

int Page::StripWidth(const StripView& strip, int designed) const {
    return std::max(ui_(designed), CaptionWidth(strip.Hwnd()) + ui_(6));
}

int Page::ButtonWidth(const ButtonView& button, int designed) const {
    return std::max(ui_(designed), CaptionWidth(button.Hwnd()) + ui_(16));
}

int Page::LineHeight(HWND widget, int designed) const {
    return std::max(ui_(designed), FontHeight(widget) + ui_(7));
}

void PageControlView::Refresh() {
    const int active = pages_.ActivePageIndex();
    // The new page first, then the old one away: no moment without a page.
    for (int i = 0; i < kPageCount; ++i) {
        if (i == active && !IsWindowVisible(panels_[static_cast<std::size_t>(i)])) {
            ShowWindow(panels_[static_cast<std::size_t>(i)], SW_SHOWNA);
        }
    }
    for (int i = 0; i < kPageCount; ++i) {
        if (i != active && (GetWindowLongW(panels_[static_cast<std::size_t>(i)], GWL_STYLE) & WS_VISIBLE) != 0) {
            ShowWindow(panels_[static_cast<std::size_t>(i)], SW_HIDE);
        }
    }
}

NavColumn::NavColumn(Ui& ui, Views& views, HWND parent, FormControls& c)
    : Page(ui, views, parent, window_parts::kNavigationColumn) {
    ShowWindow(panel_, SW_SHOWNA);
    scroller_ = CreatePanel(ui, panel_, window_parts::kNavigationScroller.Name, this, WS_VISIBLE | WS_VSCROLL);
    // The buttons' pictures, in column order.
    const std::array<NavPicture, 5> pictures{NavPicture::Viewer, NavPicture::Statistics, NavPicture::Limits,
                                             NavPicture::Settings, NavPicture::About};
    auto buttons = c.NavigationButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        buttons_[i] = &Make<NavButtonView>(scroller_, *buttons[i], pictures[i], c.PC1);
    }
    gauge_ = &Make<GaugeView>(panel_, c.CG1);
    cancel_ = &Make<GaugeCancelView>(panel_, c.SBCancel, [this] { Relayout(); });
    ShowWindow(cancel_->Hwnd(), c.SBCancel.Visible ? SW_SHOWNA : SW_HIDE);
}

namespace {

// The buttons' designed size, their top and the gap with its bevel line, in designed pixels.
constexpr int kButtonSize = 75;
constexpr int kButtonTop = 4;
constexpr int kButtonGap = 4;
constexpr int kGauge = 15;

}  // namespace

SIZE NavColumn::Needed() const {
    int width = ui_(kButtonSize) + ui_(8);
    int least = 0;
    for (const NavButtonView* button : buttons_) {
        width = std::max(width, button->CaptionNeed() + ui_(8));
        least = std::max(least, button->LeastHeight());
    }
    const int strip = ui_(kButtonTop) + static_cast<int>(buttons_.size()) * (least + ui_(kButtonGap));
    return {width, strip + ui_(kGauge)};
}

void NavColumn::Layout(int width, int height) {
    const int gauge = ui_(kGauge);
    // The cancel button takes a row under the gauge while it is shown; the strip above gives way.
    const int cancel = cancel_->Shown() ? ui_(23) : 0;
    const int strip = height - gauge - cancel;
    int least = 0;
    for (const NavButtonView* button : buttons_) least = std::max(least, button->LeastHeight());
    const int count = static_cast<int>(buttons_.size());
    const int fitting = (strip - ui_(kButtonTop)) / count - ui_(kButtonGap);
    button_height_ = std::clamp(fitting, least, std::max(least, ui_(kButtonSize)));
    pitch_ = button_height_ + ui_(kButtonGap);
    Move(scroller_, 0, 0, width, strip);
    Move(gauge_->Hwnd(), ui_(2), height - gauge - cancel, width - ui_(4), gauge);
    Move(cancel_->Hwnd(), ui_(2), height - cancel, width - ui_(4), cancel);
    RECT client{};
    GetClientRect(scroller_, &client);
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = StripHeight() - 1;
    info.nPage = static_cast<UINT>(client.bottom);
    SetScrollInfo(scroller_, SB_VERT, &info, TRUE);
    ScrollTo(scroll_);
}

void NavColumn::ScrollTo(int position) {
    RECT client{};
    GetClientRect(scroller_, &client);
    scroll_ = std::clamp(position, 0, std::max(0, StripHeight() - static_cast<int>(client.bottom)));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = scroll_;
    SetScrollInfo(scroller_, SB_VERT, &info, TRUE);
    const int size = std::max(ui_(kButtonSize), static_cast<int>(client.right) - ui_(8));
    const int left = std::max(0, static_cast<int>(client.right - size) / 2);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        Move(buttons_[i]->Hwnd(), left, ui_(kButtonTop) + static_cast<int>(i) * pitch_ - scroll_,
             std::min(size, static_cast<int>(client.right)), button_height_);
    }
    InvalidateRect(scroller_, nullptr, TRUE);
}

bool NavColumn::PanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM, LRESULT& result) {
    if (panel != scroller_) return false;
    switch (message) {
        case WM_VSCROLL: {
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_ALL;
            GetScrollInfo(panel, SB_VERT, &info);
            int position = info.nPos;
            switch (LOWORD(wparam)) {
                case SB_LINEUP:
                    position -= ui_(20);
                    break;
                case SB_LINEDOWN:
                    position += ui_(20);
                    break;
                case SB_PAGEUP:
                    position -= static_cast<int>(info.nPage);
                    break;
                case SB_PAGEDOWN:
                    position += static_cast<int>(info.nPage);
                    break;
                case SB_THUMBTRACK:
                case SB_THUMBPOSITION:
                    position = info.nTrackPos;
                    break;
                case SB_TOP:
                    position = 0;
                    break;
                case SB_BOTTOM:
                    position = info.nMax;
                    break;
                default:
                    break;
            }
            ScrollTo(position);
            result = 0;
            return true;
        }
        case WM_MOUSEWHEEL:
            ScrollTo(scroll_ - GET_WHEEL_DELTA_WPARAM(wparam) * ui_(40) / WHEEL_DELTA);
            result = 0;
            return true;
        case WM_PAINT: {
            // A thin etched line between two buttons.
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(panel, &paint);
            RECT client{};
            GetClientRect(panel, &client);
            for (int i = 1; i < static_cast<int>(buttons_.size()); ++i) {
                const int y = ui_(kButtonTop) + i * pitch_ - ui_(kButtonGap) / 2 - scroll_;
                RECT line{client.left + ui_(6), y - 1, client.right - ui_(6), y + 1};
                DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
            }
            EndPaint(panel, &paint);
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tarnwell::win32
