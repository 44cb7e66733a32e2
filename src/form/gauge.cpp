#include "form/gauge.h"

#include <algorithm>

namespace tarnwell {

void Gauge::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    SetPosition(position_);
}

void Gauge::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
}

}  // namespace tarnwell
