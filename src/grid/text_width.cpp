#include "grid/text_width.h"

namespace tarnwell {
namespace {

class FixedPitch final : public TextWidthMeasure {
public:
    int TextWidth(std::string_view text, bool) const override { return static_cast<int>(text.size()) * kByteWidth; }
    int MaxByteWidth(bool) const override { return kByteWidth; }

private:
    static constexpr int kByteWidth = 7;
};

const FixedPitch kHeadless;

}  // namespace

const TextWidthMeasure& HeadlessTextWidth() {
    return kHeadless;
}

}  // namespace tarnwell
