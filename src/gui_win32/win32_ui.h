#pragma once

// What every file of the Win32 window includes: the system headers in the right order and the small
// helpers that turn the program's Windows-1251 texts into the wide texts of the controls and back.

#include <windows.h>
// The common controls need the types of windows.h.
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "text/win32_text.h"

namespace tarnwell::win32 {

inline std::wstring Wide(std::string_view cp1251) {
    return Cp1251ToWide(cp1251);
}

inline std::string Narrow(std::wstring_view wide) {
    return WideToCp1251(wide);
}

// The text of a window (an edit's content, a button's caption), as the control holds it.
std::wstring WindowTextOf(HWND window);

// How wide the text is drawn in the window's font, in pixels.
int TextWidthIn(HWND window, const std::wstring& text);

// The height of a line of text in the window's font, in pixels.
int FontHeight(HWND window);

// Sets a window's text only when it differs, so that an edit keeps its caret and nothing flickers.
void SetWindowTextIfChanged(HWND window, const std::wstring& text);

// Designed sizes (pixels at 96 dots per inch) turned into the monitor's pixels, and back.
class Scale {
public:
    explicit Scale(int dpi = 96) : dpi_(dpi > 0 ? dpi : 96) {}
    int Dpi() const { return dpi_; }
    int operator()(int designed) const { return MulDiv(designed, dpi_, 96); }
    int Designed(int pixels) const { return MulDiv(pixels, 96, dpi_); }

private:
    int dpi_;
};

// The dots per inch of the monitor the window is on; the system's where the call is missing (before
// Windows 10).
int DpiOfWindow(HWND window);

// 0xRRGGBB (the grid's colour values) as a COLORREF, and back.
inline COLORREF ToColorRef(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
inline std::uint32_t FromColorRef(COLORREF color) {
    return (std::uint32_t{GetRValue(color)} << 16) | (std::uint32_t{GetGValue(color)} << 8) | GetBValue(color);
}

// A GDI object deleted when it goes out of scope.
template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    void Reset(T object = nullptr) {
        if (object_ != nullptr) DeleteObject(object_);
        object_ = object;
    }
    T get() const { return object_; }

private:
    T object_ = nullptr;
};

}  // namespace tarnwell::win32
