#include "grid/color.h"

namespace tarnwell {
namespace {

class Headless final : public ColorScheme {
public:
    std::uint32_t Resolve(SystemColor name) const override {
        switch (name) {
            case SystemColor::Window: return 0xFFFFFF;
            case SystemColor::BtnFace: return 0xF0F0F0;
            case SystemColor::InfoBk: return 0xFFFFE1;
            case SystemColor::WindowText: return 0x000000;
            case SystemColor::HotLight: return 0x0066CC;
        }
        return 0x000000;
    }
};

const Headless kHeadless;

}  // namespace

std::uint32_t ColorValue::ToRgb(const ColorScheme& scheme) const {
    return system_ ? scheme.Resolve(static_cast<SystemColor>(value_)) : value_;
}

const ColorScheme& HeadlessColorScheme() {
    return kHeadless;
}

}  // namespace tarnwell
