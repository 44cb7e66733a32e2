#include "gui/qt_text_width.h"

#include <QFontMetrics>
#include <algorithm>

#include "text/cp1251.h"

namespace tarnwell {

QtTextWidth::QtTextWidth(const QFont& font) {
    const QFontMetrics metrics(font);
    for (int byte = 0; byte < 256; ++byte) {
        const QChar c(Cp1251ToUnicode(static_cast<unsigned char>(byte)));
        advances_[static_cast<std::size_t>(byte)] = std::max(0, metrics.horizontalAdvance(c));
        max_byte_width_ = std::max(max_byte_width_, advances_[static_cast<std::size_t>(byte)]);
    }
}

// The fixed cells are drawn in the same font as the others: one measure serves both.
int QtTextWidth::TextWidth(std::string_view text, bool) const {
    long long width = 0;
    for (unsigned char byte : text) width += advances_[byte];
    return static_cast<int>(std::min<long long>(width, 1 << 30));
}

int QtTextWidth::MaxByteWidth(bool) const {
    return max_byte_width_;
}

}  // namespace tarnwell
