#include "gui_win32/desktop_metrics.h"

#include <algorithm>
#include <string>

namespace tarnwell::win32 {

GdiTextWidth::GdiTextWidth() : dc_(CreateCompatibleDC(nullptr)) {
    LOGFONTW face{};
    face.lfHeight = -MulDiv(8, 96, 72);
    face.lfCharSet = DEFAULT_CHARSET;
    wcscpy(face.lfFaceName, L"Tahoma");
    font_.Reset(CreateFontIndirectW(&face));
    old_font_ = SelectObject(dc_, font_.get());
    // The width of every byte of the code page, once: texts of one byte at a time add up to these,
    // and the widest lets the column fitting skip short texts.
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const std::wstring wide = Wide(std::string_view(&c, 1));
        SIZE size{};
        GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
        byte_widths_[static_cast<std::size_t>(byte)] = size.cx;
        max_byte_width_ = std::max(max_byte_width_, static_cast<int>(size.cx));
    }
}

GdiTextWidth::~GdiTextWidth() {
    SelectObject(dc_, old_font_);
    DeleteDC(dc_);
}

int GdiTextWidth::TextWidth(std::string_view text, bool) const {
    if (text.empty()) return 0;
    const std::wstring wide = Wide(text);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size)) {
        int sum = 0;
        for (char c : text) sum += byte_widths_[static_cast<unsigned char>(c)];
        return sum;
    }
    return size.cx;
}

std::uint32_t SystemColorScheme::Resolve(SystemColor name) const {
    int index = COLOR_WINDOW;
    switch (name) {
        case SystemColor::Window:
            index = COLOR_WINDOW;
            break;
        case SystemColor::BtnFace:
            index = COLOR_BTNFACE;
            break;
        case SystemColor::InfoBk:
            index = COLOR_INFOBK;
            break;
        case SystemColor::WindowText:
            index = COLOR_WINDOWTEXT;
            break;
        case SystemColor::HotLight:
            index = COLOR_HOTLIGHT;
            break;
    }
    return FromColorRef(GetSysColor(index));
}

}  // namespace tarnwell::win32
