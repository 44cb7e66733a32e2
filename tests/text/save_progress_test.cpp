#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/fake_save_progress.h"
#include "text/save_progress.h"

namespace tarnwell {
namespace {

using RecordingProgress = testing_support::FakeSaveProgress;

// However large the save, the gauge hears of it in per mille, at most once per step and every step in
// order, from the first unit to the last.
TEST(SaveMeter, ReportsEveryPerMilleOnceInOrderFromFirstToLastUnit) {
    for (std::uint64_t total : {std::uint64_t{1}, std::uint64_t{7}, std::uint64_t{999}, std::uint64_t{1000},
                                std::uint64_t{12345}, std::uint64_t{5'000'000}}) {
        SCOPED_TRACE(total);
        RecordingProgress progress;
        {
            SaveMeter meter(progress, total);
            for (std::uint64_t i = 0; i < total; ++i) meter.Advance();
        }
        EXPECT_EQ(progress.shown, std::vector<int>{SaveMeter::kScale});
        EXPECT_EQ(progress.hidden, 1);
        ASSERT_FALSE(progress.positions.empty());
        EXPECT_EQ(progress.positions.back(), SaveMeter::kScale);
        EXPECT_LE(progress.positions.size(), static_cast<std::size_t>(SaveMeter::kScale) + 1);
        // The first report comes with the first unit, so a save can be stopped from its start.
        EXPECT_EQ(progress.positions.front(), static_cast<int>(SaveMeter::kScale / total));
        for (std::size_t i = 1; i < progress.positions.size(); ++i) {
            EXPECT_LT(progress.positions[i - 1], progress.positions[i]);
        }
        // Enough reports for a gauge that moves: one per step where there are at least as many units.
        EXPECT_GE(progress.positions.size(), std::min<std::uint64_t>(total, SaveMeter::kScale));
    }
}

TEST(SaveMeter, StopsAtTheReportWhereTheUserAskedAndHidesTheGauge) {
    RecordingProgress progress(3);
    std::uint64_t done = 0;
    try {
        SaveMeter meter(progress, 10'000);
        for (; done < 10'000; ++done) meter.Advance();
        FAIL() << "not stopped";
    } catch (const ESaveCancelled&) {
    }
    EXPECT_EQ(progress.steps, 3);
    EXPECT_EQ(progress.positions.size(), 3u);
    EXPECT_EQ(done, 19u);  // the third report comes with the 20th unit of 10,000: 2 per mille
    EXPECT_EQ(progress.hidden, 1);
}

}  // namespace
}  // namespace tarnwell
