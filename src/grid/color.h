#pragma once

#include <cstdint>

namespace tarnwell {

// Turns the desktop's named colours into RGB: the colour scheme in force where the colours are needed.
class ColorScheme;

// The desktop's named colours that the grids use. Their RGB values come from the colour scheme in force
// when a writer needs them, not when the grid is made.
enum class SystemColor : std::uint8_t { Window, BtnFace, InfoBk, WindowText, HotLight };

// A grid colour: either a fixed RGB value or a named desktop colour.
class TColor {
public:
    static constexpr TColor Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return TColor(false, (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b);
    }
    static constexpr TColor System(SystemColor name) { return TColor(true, static_cast<std::uint32_t>(name)); }

    // 0xRRGGBB, named colours resolved through the given colour scheme.
    std::uint32_t ToRgb(const ColorScheme& scheme) const;

    constexpr bool operator==(const TColor&) const = default;

private:
    constexpr TColor(bool system, std::uint32_t value) : system_(system), value_(value) {}
    bool system_;
    std::uint32_t value_;
};

inline constexpr TColor clWindow = TColor::System(SystemColor::Window);
inline constexpr TColor clBtnFace = TColor::System(SystemColor::BtnFace);
inline constexpr TColor clInfoBk = TColor::System(SystemColor::InfoBk);
inline constexpr TColor clWindowText = TColor::System(SystemColor::WindowText);
inline constexpr TColor clHotLight = TColor::System(SystemColor::HotLight);
inline constexpr TColor clSilver = TColor::Rgb(0xC0, 0xC0, 0xC0);

class ColorScheme {
public:
    virtual ~ColorScheme() = default;
    virtual std::uint32_t Resolve(SystemColor name) const = 0;
};

// The headless values: FFFFFF, F0F0F0, FFFFE1, 000000, 0066CC. A window has its own scheme (the Qt
// window reads the application palette) and hands it to whatever resolves colours.
const ColorScheme& HeadlessColorScheme();

}  // namespace tarnwell
