#pragma once

#include "form/control.h"

namespace tarnwell {

// A progress bar: a position between a minimum and a maximum. Hidden until an operation shows it.
class Gauge : public Control {
public:
    Gauge() { Visible = false; }

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    // A maximum below the minimum becomes the minimum; the position is kept within the new range.
    void SetRange(int min, int max);
    // Clamped into the range.
    void SetPosition(int position);

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

}  // namespace tarnwell
