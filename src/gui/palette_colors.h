#pragma once

#include <QColor>
#include <QPalette>

#include "grid/color.h"

namespace tarnwell {

// The desktop's named colours from a Qt palette: Base for clWindow, Button for clBtnFace, ToolTipBase for
// clInfoBk, Text for clWindowText, Link for clHotLight. The palette is read when a colour is resolved, so
// a colour scheme changed while the program runs is followed.
class PaletteColors final : public ColorScheme {
public:
    // nullptr: the application's palette.
    explicit PaletteColors(const QPalette* palette = nullptr) : palette_(palette) {}
    std::uint32_t Resolve(SystemColor name) const override;

private:
    const QPalette* palette_;
};

// A grid colour as Qt draws it.
QColor ToQColor(ColorValue color, const ColorScheme& scheme);

}  // namespace tarnwell
