#pragma once

#include <string_view>

namespace tarnwell {

// How wide a cell text is drawn, for fitting column widths. The window supplies one from its font
// metrics; tests and headless runs use HeadlessTextWidth().
class TextWidthMeasure {
public:
    virtual ~TextWidthMeasure() = default;
    // Width in pixels of the text in the grid's normal font, or in its fixed-cell font.
    virtual int TextWidth(std::string_view text, bool fixed_font) const = 0;
    // No single byte is drawn wider than this. Lets column fitting skip, without measuring, every text
    // too short to beat the widest one found so far: on a log of millions of rows that is most of them.
    virtual int MaxByteWidth(bool fixed_font) const = 0;
};

// Every byte 7 pixels wide, in both fonts.
const TextWidthMeasure& HeadlessTextWidth();

}  // namespace tarnwell
