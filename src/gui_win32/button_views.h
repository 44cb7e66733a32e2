#pragma once

#include "form/button.h"
#include "form/page_control.h"
#include "gui_win32/control_view.h"

namespace tarnwell::win32 {

// A push button.
class ButtonView : public ControlView {
public:
    ButtonView(Ui& ui, HWND parent, Button& button);
    void Refresh() override;
    bool Command(HWND widget, WORD code) override;
    // Its accelerator: the button's click.
    void Press() { button_.Click(); }

protected:
    ButtonView(Ui& ui, Button& button) : ControlView(ui, button), button_(button) {}
    // The window text: the caption with its accelerator's letter marked.
    virtual std::wstring ShownCaption() const;
    Button& button_;
};

// A link text of the About page: bold sky blue on black with the hand cursor; a click opens it.
class LinkView : public ButtonView {
public:
    LinkView(Ui& ui, HWND parent, Button& link);
    HBRUSH CtlColor(HWND, HDC dc) override;
    HCURSOR Cursor(HWND) override { return LoadCursorW(nullptr, IDC_HAND); }

protected:
    // A link shows its address as it reads: it has no accelerator, and an "&" in it is a character.
    std::wstring ShownCaption() const override { return Wide(button_.Caption); }

private:
    GdiObject<HBRUSH> black_;
};

// What a navigation button shows above its caption.
enum class NavPicture { Viewer, Statistics, Limits, Settings, About };

// A navigation button: flat, its picture above its caption; the button of the page shown stands sunk
// on the window colour.
class NavButtonView : public ButtonView {
public:
    NavButtonView(Ui& ui, HWND parent, Button& button, NavPicture picture, const PageControl& pages);
    void Refresh() override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;
    // The least height that shows the picture and the caption whole, and the width the caption needs.
    int LeastHeight() const;
    int CaptionNeed() const;

private:
    bool Active() const;

    NavPicture picture_;
    const PageControl& pages_;
    bool shown_active_ = false;
};

// Draws a navigation picture into the square.
void DrawNavPicture(HDC dc, const RECT& square, NavPicture picture, bool enabled);

}  // namespace tarnwell::win32
