#pragma once

#include <cstdint>

namespace tarnwell {

// Turns the desktop's named colours into RGB: the colour scheme in force where the colours are needed.
class ColorScheme;

// The desktop's named colours that the grids use. Their RGB values come from the colour scheme in force
// when a writer needs them, not when the grid is made.
enum class SystemColor : std::uint8_t { Window, BtnFace, InfoBk, WindowText, HotLight };

// A grid colour: either a fixed RGB value or a named desktop colour.
class ColorValue {
public:
    static constexpr ColorValue Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return ColorValue(false, (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b);
    }
    static constexpr ColorValue System(SystemColor name) { return ColorValue(true, static_cast<std::uint32_t>(name)); }

    // 0xRRGGBB, named colours resolved through the given colour scheme.
    std::uint32_t ToRgb(const ColorScheme& scheme) const;

    constexpr bool operator==(const ColorValue&) const = default;

private:
    constexpr ColorValue(bool system, std::uint32_t value) : system_(system), value_(value) {}
    bool system_;
    std::uint32_t value_;
};

inline constexpr ColorValue clWindow = ColorValue::System(SystemColor::Window);
inline constexpr ColorValue clBtnFace = ColorValue::System(SystemColor::BtnFace);
inline constexpr ColorValue clInfoBk = ColorValue::System(SystemColor::InfoBk);
inline constexpr ColorValue clWindowText = ColorValue::System(SystemColor::WindowText);
inline constexpr ColorValue clHotLight = ColorValue::System(SystemColor::HotLight);
inline constexpr ColorValue clSilver = ColorValue::Rgb(0xC0, 0xC0, 0xC0);

class ColorScheme {
public:
    virtual ~ColorScheme() = default;
    virtual std::uint32_t Resolve(SystemColor name) const = 0;
};

// The headless values: FFFFFF, F0F0F0, FFFFE1, 000000, 0066CC. A window has its own scheme (the Qt
// window reads the application palette) and hands it to whatever resolves colours.
const ColorScheme& HeadlessColorScheme();

}  // namespace tarnwell
