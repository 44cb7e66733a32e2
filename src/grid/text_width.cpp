#include "grid/text_width.h"

#include <climits>

namespace tarnwell {
namespace {

class FixedPitch final : public TextWidthMeasure {
public:
    int TextWidth(std::string_view text, bool) const override {
        // A text of hundreds of megabytes would overflow; no column needs to be wider than INT_MAX.
        if (text.size() > static_cast<std::size_t>(INT_MAX / kByteWidth)) return INT_MAX;
        return static_cast<int>(text.size()) * kByteWidth;
    }
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
