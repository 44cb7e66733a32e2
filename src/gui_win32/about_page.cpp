#include <algorithm>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

namespace {

// Image1: paints the picture over its whole client area.
class Picture : public PanelHandler {
public:
    bool PanelMessage(HWND panel, UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message == WM_ERASEBKGND) {
            result = 1;
            return true;
        }
        if (message != WM_PAINT) return false;
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(panel, &paint);
        RECT client{};
        GetClientRect(panel, &client);
        DrawAboutPicture(dc, client);
        EndPaint(panel, &paint);
        result = 0;
        return true;
    }
};

Picture the_picture;

}  // namespace

AboutPage::AboutPage(Ui& ui, Views& views, HWND parent, FormControls& c) : Page(ui, views, parent, kPages[kAboutPage]) {
    memo_ = &Make<MemoView>(panel_, c.Memo1);
    site_ = &Make<LinkView>(panel_, c.STtoSite);
    mail_ = &Make<LinkView>(panel_, c.StaticText7);
    picture_ = CreatePanel(ui, panel_, window_parts::kPicture.Name, &the_picture, WS_VISIBLE | WS_CLIPSIBLINGS);
    // The picture draws no text: its text is its name for screen readers.
    SetWindowTextW(picture_, Wide(window_parts::kPicture.AccessibleName).c_str());
    // The links stand on the picture.
    SetWindowPos(picture_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void AboutPage::Layout(int width, int height) {
    const int memo = std::min(ui_(177), width);
    memo_->Place({0, 0, memo, height});
    Move(picture_, memo, 0, width - memo, height);
    const int line = ui_(18);
    const int y = height - line - ui_(6);
    const int site_width = CaptionWidth(site_->Hwnd()) + ui_(4);
    const int mail_width = CaptionWidth(mail_->Hwnd()) + ui_(4);
    Move(site_->Hwnd(), memo + ui_(8), y, site_width, line);
    Move(mail_->Hwnd(), std::max(memo + ui_(8) + site_width + ui_(8), width - mail_width - ui_(8)), y, mail_width,
         line);
}

}  // namespace tarnwell::win32
