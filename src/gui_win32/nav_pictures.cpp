// The pictures of the navigation buttons, drawn in the square they get so that they stay sharp at any
// scale: a page of text, a bar chart, a gauge, sliders, an "i".

#include "gui_win32/button_views.h"

namespace tarnwell::win32 {

namespace {

COLORREF Tone(COLORREF color, bool enabled) {
    if (enabled) return color;
    const int grey = (GetRValue(color) + GetGValue(color) + GetBValue(color)) / 3;
    const int light = (grey + 2 * 192) / 3;
    return RGB(light, light, light);
}

class Pen {
public:
    Pen(HDC dc, COLORREF color, int width) : dc_(dc), pen_(CreatePen(PS_SOLID, width, color)) {
        old_ = SelectObject(dc, pen_.get());
    }
    ~Pen() { SelectObject(dc_, old_); }
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;

private:
    HDC dc_;
    GdiObject<HPEN> pen_;
    HGDIOBJ old_;
};

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    RECT rect{left, top, right, bottom};
    FillRect(dc, &rect, brush.get());
}

}  // namespace

void DrawNavPicture(HDC dc, const RECT& square, NavPicture picture, bool enabled) {
    const int x = square.left;
    const int y = square.top;
    const int n = square.right - square.left;
    auto at = [n](int units) { return n * units / 32; };  // in 32nds of the square
    const int line = n >= 48 ? 2 : 1;
    const COLORREF ink = Tone(RGB(40, 60, 110), enabled);
    switch (picture) {
        case NavPicture::Viewer: {
            Fill(dc, x + at(5), y + at(2), x + at(27), y + at(30), Tone(RGB(250, 250, 250), enabled));
            Pen pen(dc, ink, line);
            HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, x + at(5), y + at(2), x + at(27), y + at(30));
            SelectObject(dc, old);
            for (int row = 0; row < 6; ++row) {
                const int ly = y + at(7 + row * 4);
                MoveToEx(dc, x + at(9), ly, nullptr);
                LineTo(dc, x + at(row % 2 == 0 ? 23 : 19), ly);
            }
            break;
        }
        case NavPicture::Statistics: {
            const COLORREF bars[] = {RGB(0, 128, 255), RGB(0, 170, 90), RGB(230, 140, 0), RGB(200, 50, 50)};
            const int heights[] = {14, 22, 10, 26};
            for (int i = 0; i < 4; ++i) {
                Fill(dc, x + at(4 + i * 6), y + at(29 - heights[i]), x + at(9 + i * 6), y + at(29),
                     Tone(bars[i], enabled));
            }
            Pen pen(dc, ink, line);
            MoveToEx(dc, x + at(2), y + at(2), nullptr);
            LineTo(dc, x + at(2), y + at(30));
            LineTo(dc, x + at(30), y + at(30));
            break;
        }
        case NavPicture::Limits: {
            Pen pen(dc, ink, line + 1);
            HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Arc(dc, x + at(2), y + at(4), x + at(30), y + at(32), x + at(30), y + at(18), x + at(2), y + at(18));
            SelectObject(dc, old);
            Pen needle(dc, Tone(RGB(200, 40, 40), enabled), line + 1);
            MoveToEx(dc, x + at(16), y + at(18), nullptr);
            LineTo(dc, x + at(24), y + at(9));
            Fill(dc, x + at(14), y + at(16), x + at(18), y + at(20), ink);
            Fill(dc, x + at(2), y + at(24), x + at(30), y + at(27), Tone(RGB(0, 170, 90), enabled));
            break;
        }
        case NavPicture::Settings: {
            Pen pen(dc, ink, line);
            const int knobs[] = {10, 22, 15};
            for (int i = 0; i < 3; ++i) {
                const int ly = y + at(7 + i * 9);
                MoveToEx(dc, x + at(3), ly, nullptr);
                LineTo(dc, x + at(29), ly);
                Fill(dc, x + at(knobs[i] - 2), ly - at(3), x + at(knobs[i] + 2), ly + at(3),
                     Tone(RGB(0, 128, 255), enabled));
            }
            break;
        }
        case NavPicture::About: {
            GdiObject<HBRUSH> brush(CreateSolidBrush(Tone(RGB(0, 128, 255), enabled)));
            HGDIOBJ old_brush = SelectObject(dc, brush.get());
            HGDIOBJ old_pen = SelectObject(dc, GetStockObject(NULL_PEN));
            Ellipse(dc, x + at(2), y + at(2), x + at(30), y + at(30));
            SelectObject(dc, old_pen);
            SelectObject(dc, old_brush);
            Fill(dc, x + at(14), y + at(13), x + at(18), y + at(25), RGB(255, 255, 255));
            Fill(dc, x + at(14), y + at(7), x + at(18), y + at(11), RGB(255, 255, 255));
            break;
        }
    }
}

}  // namespace tarnwell::win32
