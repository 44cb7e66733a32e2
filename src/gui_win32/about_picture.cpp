// The About page's picture: a night sky over a globe of linked nodes, with the program's name, drawn to
// fill whatever rectangle the page gives it. Its lower edge is black, for the link texts that stand there.

#include <algorithm>
#include <cmath>

#include "gui_win32/pages.h"

namespace tarnwell::win32 {

namespace {

void Band(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    GdiObject<HBRUSH> brush(CreateSolidBrush(color));
    RECT rect{left, top, right, bottom};
    FillRect(dc, &rect, brush.get());
}

int Mix(int from, int to, int step, int steps) {
    return from + (to - from) * step / std::max(1, steps);
}

}  // namespace

void DrawAboutPicture(HDC dc, const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;

    // Sky: deep blue at the top to black at three quarters of the height, black below.
    const int steps = 48;
    const int sky = height * 3 / 4;
    for (int i = 0; i < steps; ++i) {
        const int top = rect.top + sky * i / steps;
        const int bottom = rect.top + sky * (i + 1) / steps;
        Band(dc, rect.left, top, rect.right, bottom,
             RGB(Mix(10, 0, i, steps), Mix(40, 0, i, steps), Mix(90, 0, i, steps)));
    }
    Band(dc, rect.left, rect.top + sky, rect.right, rect.bottom, RGB(0, 0, 0));

    // Stars, at places fixed by a small generator so that every repaint draws the same sky.
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int i = 0; i < 60; ++i) {
        const int x = rect.left + static_cast<int>(next() % static_cast<unsigned>(width));
        const int y = rect.top + static_cast<int>(next() % static_cast<unsigned>(std::max(1, sky)));
        const int shade = 120 + static_cast<int>(next() % 135);
        SetPixel(dc, x, y, RGB(shade, shade, shade));
    }

    // The globe: a circle with its meridians and parallels.
    const int radius = std::max(8, std::min(width, height) * 3 / 10);
    const int cx = rect.left + width / 2;
    const int cy = rect.top + height * 9 / 20;
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, std::max(1, radius / 60), RGB(0, 170, 160)));
    HGDIOBJ old_pen = SelectObject(dc, pen.get());
    HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, cx - radius, cy - radius, cx + radius, cy + radius);
    for (int k = 1; k <= 2; ++k) {
        const int rx = radius * k / 3;
        Ellipse(dc, cx - rx, cy - radius, cx + rx, cy + radius);
        const int ry = radius * k / 3;
        const int half = static_cast<int>(radius * std::sqrt(1.0 - (ry * ry) / double(radius * radius)));
        MoveToEx(dc, cx - half, cy - ry, nullptr);
        LineTo(dc, cx + half, cy - ry);
        MoveToEx(dc, cx - half, cy + ry, nullptr);
        LineTo(dc, cx + half, cy + ry);
    }
    MoveToEx(dc, cx - radius, cy, nullptr);
    LineTo(dc, cx + radius, cy);

    // Nodes on the globe and the links between them.
    const double angles[] = {0.3, 1.4, 2.2, 3.5, 4.4, 5.5};
    POINT nodes[6];
    for (int i = 0; i < 6; ++i) {
        const double r = radius * (0.45 + 0.1 * (i % 3));
        nodes[i] = {cx + static_cast<int>(r * std::cos(angles[i])), cy + static_cast<int>(r * std::sin(angles[i]))};
    }
    GdiObject<HPEN> link(CreatePen(PS_SOLID, std::max(1, radius / 50), RGB(255, 200, 60)));
    SelectObject(dc, link.get());
    for (int i = 0; i < 6; ++i) {
        MoveToEx(dc, nodes[i].x, nodes[i].y, nullptr);
        LineTo(dc, nodes[(i + 2) % 6].x, nodes[(i + 2) % 6].y);
    }
    GdiObject<HBRUSH> node_brush(CreateSolidBrush(RGB(255, 220, 90)));
    SelectObject(dc, node_brush.get());
    const int dot = std::max(2, radius / 14);
    for (const POINT& node : nodes) Ellipse(dc, node.x - dot, node.y - dot, node.x + dot, node.y + dot);
    SelectObject(dc, old_brush);
    SelectObject(dc, old_pen);

    // The name under the globe.
    LOGFONTW face{};
    face.lfHeight = -std::max(10, radius / 3);
    face.lfWeight = FW_BOLD;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfQuality = ANTIALIASED_QUALITY;
    wcscpy(face.lfFaceName, L"Tahoma");
    GdiObject<HFONT> font(CreateFontIndirectW(&face));
    HGDIOBJ old_font = SelectObject(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(230, 240, 255));
    RECT title{rect.left, cy + radius + radius / 8, rect.right, rect.bottom};
    DrawTextW(dc, L"Tarnwell", -1, &title, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old_font);
}

}  // namespace tarnwell::win32
