#pragma once

#include <array>

#include "grid/color.h"
#include "grid/text_width.h"
#include "gui_win32/win32_ui.h"

namespace tarnwell::win32 {

// The widths of texts in the grids' font (Tahoma, 8 points), in designed pixels: measured at 96 dots per
// inch, so that the widths the grid keeps mean the same on every monitor and the window scales them.
class GdiTextWidth final : public TextWidthMeasure {
public:
    GdiTextWidth();
    ~GdiTextWidth() override;
    GdiTextWidth(const GdiTextWidth&) = delete;
    GdiTextWidth& operator=(const GdiTextWidth&) = delete;

    int TextWidth(std::string_view text, bool fixed_font) const override;
    int MaxByteWidth(bool) const override { return max_byte_width_; }

private:
    HDC dc_;
    GdiObject<HFONT> font_;
    HGDIOBJ old_font_;
    std::array<int, 256> byte_widths_{};
    int max_byte_width_ = 1;
};

// The desktop's colour scheme (GetSysColor), read whenever a colour is needed, so that a change of the
// scheme shows at once.
class SystemColorScheme final : public ColorScheme {
public:
    std::uint32_t Resolve(SystemColor name) const override;
};

}  // namespace tarnwell::win32
