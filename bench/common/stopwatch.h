#pragma once

// Wall time and the process's processor time of a stretch of work, for the benchmarks. On a shared machine
// the wall time includes waiting for a core; the processor time does not.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace tarnwell::bench {

// One run, in milliseconds.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

class Stopwatch {
public:
    Stopwatch() : wall_(std::chrono::steady_clock::now()), cpu_(std::clock()) {}
    Timing Stop() const {
        return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall_).count(),
                1000.0 * static_cast<double>(std::clock() - cpu_) / CLOCKS_PER_SEC};
    }

private:
    std::chrono::steady_clock::time_point wall_;
    std::clock_t cpu_;
};

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace tarnwell::bench
