#pragma once

#include "form/control.h"

namespace tarnwell {

// A window timer. The host starts counting Interval milliseconds while it is enabled and calls Tick.
class Timer {
public:
    int Interval = 1000;  // milliseconds
    bool Enabled = false;
    NotifyEvent OnTimer;

    // One tick of the host's clock: runs OnTimer, only while enabled.
    void Tick() const {
        if (Enabled) Fire(OnTimer);
    }
};

}  // namespace tarnwell
