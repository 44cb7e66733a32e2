// The workbook writer as the viewer's save runs it: with its progress shown, in memory that does not grow
// with the cells, and stopped when the user asks.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "grid/xls_workbook.h"
#include "support/fake_save_progress.h"
#include "support/virtual_grid.h"
#include "xls_read_back.h"

namespace tarnwell {
namespace {

using ::testing::ElementsAre;
using testing_support::FakeSaveProgress;
using testing_support::VirtualGrid;

class XlsSaveProgress : public xls_test::ScratchFolder {
protected:
    std::string Read(const std::string& file) const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

// 140,000 rows of four cells over three sheets, fifty distinct texts: the shared strings stay small, and
// what the save holds besides them must not grow with the 560,000 cells (their records alone take 7.8 MB).
TEST_F(XlsSaveProgress, MemoryDoesNotGrowWithTheCells) {
    const auto before = testing_support::HeapInUse();
    if (!before) GTEST_SKIP() << "the heap in use cannot be known here";
    VirtualGrid grid(4, 140'000, 50);
    FakeSaveProgress progress;
    const std::string file = PathOf("book.xls");
    grid.SaveToXLS(file, progress);

    EXPECT_GT(std::filesystem::file_size(file), 140'000u * 4 * 14);
    EXPECT_LT(progress.peak_heap - *before, 1'500'000u) << "held while saving";
    EXPECT_EQ(progress.shown, std::vector<int>{SaveMeter::kScale});
    EXPECT_EQ(progress.positions.back(), SaveMeter::kScale);
    EXPECT_EQ(progress.hidden, 1);
}

// Stopped while the texts are gathered or while the cells are written: the old workbook stays as it was
// and nothing of the new one is left beside it.
TEST_F(XlsSaveProgress, StoppedSaveLeavesTheOldFile) {
    struct Case {
        const char* name;
        int stop_at_step;
    };
    for (const Case c : {Case{"gathering", 2}, Case{"writing", 800}}) {
        SCOPED_TRACE(c.name);
        const std::string file = PathOf("book.xls");
        std::ofstream(file, std::ios::binary) << "old workbook";
        VirtualGrid grid(3, 70'000, 1000);
        FakeSaveProgress progress(c.stop_at_step);
        EXPECT_THROW(grid.SaveToXLS(file, progress), ESaveCancelled);
        EXPECT_EQ(progress.steps, c.stop_at_step);
        EXPECT_EQ(progress.hidden, 1);
        EXPECT_EQ(Read(file), "old workbook");
        EXPECT_THAT(FolderContents(), ElementsAre("book.xls"));
    }
}

}  // namespace
}  // namespace tarnwell
