#include "gui/palette_colors.h"

#include <QGuiApplication>

namespace tarnwell {

std::uint32_t PaletteColors::Resolve(SystemColor name) const {
    const QPalette palette = palette_ ? *palette_ : QGuiApplication::palette();
    QPalette::ColorRole role = QPalette::Base;
    switch (name) {
        case SystemColor::Window:
            role = QPalette::Base;
            break;
        case SystemColor::BtnFace:
            role = QPalette::Button;
            break;
        case SystemColor::InfoBk:
            role = QPalette::ToolTipBase;
            break;
        case SystemColor::WindowText:
            role = QPalette::Text;
            break;
        case SystemColor::HotLight:
            role = QPalette::Link;
            break;
    }
    return palette.color(QPalette::Active, role).rgb() & 0xFFFFFFu;
}

QColor ToQColor(ColorValue color, const ColorScheme& scheme) {
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | color.ToRgb(scheme)));
}

}  // namespace tarnwell
