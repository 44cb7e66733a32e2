#pragma once

#include <QFont>
#include <array>

#include "grid/text_width.h"

namespace tarnwell {

// Text widths in the grids' font, for fitting their columns (AutoSize). A text is as wide as the sum of
// its characters' advances in the font, looked up per byte: a column of a million cells is measured
// without a string conversion per cell, and no text can come out wider than its length times the widest
// byte, which the fitting relies on to skip most texts. Kerning, which the view applies, only narrows a
// text a little.
class QtTextWidth final : public TextWidthMeasure {
public:
    explicit QtTextWidth(const QFont& font);

    int TextWidth(std::string_view text, bool fixed_font) const override;
    int MaxByteWidth(bool fixed_font) const override;

private:
    std::array<int, 256> advances_{};
    int max_byte_width_ = 0;
};

}  // namespace tarnwell
