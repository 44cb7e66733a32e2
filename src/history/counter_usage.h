#pragma once

#include <cstdint>

namespace tarnwell {

// What a WinGate counter (a traffic counter or the time on line: an unsigned 32-bit number, 0 to
// 2^32 - 1) counted between two consecutive records of it:
//   - it went up or stayed: the difference;
//   - it went down from above 3 * 2^30 to below 2^30: it wrapped at 2^32, so new + 2^32 - old;
//   - it went down otherwise: WinGate reset it, and all it counted since is the new value.
constexpr std::int64_t CounterUsage(std::int64_t previous, std::int64_t current) {
    constexpr std::int64_t kWrap = std::int64_t{1} << 32;
    constexpr std::int64_t kQuarter = std::int64_t{1} << 30;
    if (current >= previous) return current - previous;
    if (previous > 3 * kQuarter && current < kQuarter) return current + kWrap - previous;
    return current;
}

}  // namespace tarnwell
