// What a counter counted between two records: the difference, a wrap at 2^32, or WinGate's reset.

#include <gtest/gtest.h>

#include <cstdint>

#include "history/counter_usage.h"

namespace tarnwell {
namespace {

constexpr std::int64_t kGiB = std::int64_t{1} << 30;
constexpr std::int64_t kMax = (std::int64_t{1} << 32) - 1;

struct Case {
    const char* what;
    std::int64_t previous, current, usage;
};

const Case kCases[] = {
    {"unchanged", 500, 500, 0},
    {"went up", 500, 800, 300},
    {"from zero to the top", 0, kMax, kMax},
    {"wrapped from the top to zero", kMax, 0, 1},
    {"wrapped: above 3 GiB to below 1 GiB", 3 * kGiB + 1, 10, kGiB - 1 + 10},
    {"exactly 3 GiB is no wrap: a reset", 3 * kGiB, 10, 10},
    {"to exactly 1 GiB is no wrap: reset", kMax, kGiB, kGiB},
    {"reset from the middle", 2 * kGiB, 5, 5},
    {"reset to zero", 123456, 0, 0},
};

TEST(CounterUsage, DifferenceWrapOrReset) {
    for (const Case& c : kCases) {
        EXPECT_EQ(CounterUsage(c.previous, c.current), c.usage) << c.what;
    }
}

}  // namespace
}  // namespace tarnwell
