#include <gtest/gtest.h>


#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "form/form_controls.h"
#include "grid/column_choice.h"
#include "grid/html_table.h"
#include "grid/table_grid_error.h"
#include "report/report_file.h"
#include "report/report_page.h"
#include "support/fake_save_progress.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"
#include "support/virtual_grid.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

namespace fs = std::filesystem;
using namespace literals;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<bool> AllBut(std::initializer_list<int> unticked) {
    std::vector<bool> checked(11, true);
    for (int col : unticked) checked[static_cast<std::size_t>(col)] = false;
    return checked;
}

class ReportFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto& captions = StatColumnCaptions();
        for (int col = 0; col < 11; ++col) {
            statistics_.SetCellEx(col, 0, captions[static_cast<std::size_t>(col)]);
            statistics_.SetCellEx(col, 1, "v" + std::to_string(col));
        }
    }

    std::string Temp() const { return (dir_ / "grid.tmp").string(); }
    std::string Target() const { return (dir_ / "export.htm").string(); }
    std::vector<int> HiddenColumns() const {
        std::vector<int> hidden;
        for (int col = 0; col < 11; ++col) {
            if (statistics_.IsHiddenColumn(col)) hidden.push_back(col);
        }
        return hidden;
    }

    testing_support::TempFolder dir_;
    TTableGrid statistics_{11, 2};
};

TEST_F(ReportFileTest, PageIsTheFragmentBetweenHeadAndClosingLineAndReplacesAnOlderFile) {
    TTableGrid grid(2, 3);
    grid.SetCellEx(0, 0, "A");
    grid.SetCellEx(1, 0, "B");
    grid.SetCellEx(0, 1, "1");
    grid.SetCellEx(0, 2, "x");
    grid.SetCellEx(1, 2, "y");
    std::ofstream(Target(), std::ios::binary) << std::string(5000, 'z');

    const fs::path data(TARNWELL_TEST_DATA);
    std::string page = WriteReportPage(Target(), grid, grid.VisibleRealColumns(), Temp());
    EXPECT_EQ(ReadBytes(Target()), ReadBytes(data / "report_2x3_page.htm"));
    EXPECT_EQ(page, ReadBytes(Target()));
    // The bare fragment stays in the temporary file.
    EXPECT_EQ(ReadBytes(Temp()), ReadBytes(data / "grid_2x3_header.htm"));
}

TEST_F(ReportFileTest, ReportShowsTheHtmlColumnsWhateverTheScreenHides) {
    statistics_.HideColumn(0);  // the screen's own choice
    statistics_.HideColumn(1);
    const auto revision = statistics_.Revision();
    const std::string name("Имя"_cp);
    const std::string time("Время в сети"_cp);
    const std::string login("Логин"_cp);
    std::string page = WriteReportPage(Target(), statistics_, TickedColumns(11, AllBut({2, 7})), Temp());
    EXPECT_EQ(page.find(">" + name + "<"), std::string::npos);
    EXPECT_EQ(page.find(">" + time + "<"), std::string::npos);
    EXPECT_NE(page.find(">" + login + "<"), std::string::npos);
    EXPECT_EQ(page.find(">v2<"), std::string::npos);
    EXPECT_NE(page.find(">v0<"), std::string::npos);
    EXPECT_EQ(HiddenColumns(), (std::vector<int>{0, 1}));
    EXPECT_EQ(statistics_.Revision(), revision);  // the window's grid is not touched
}

TEST_F(ReportFileTest, NothingTickedLeavesTheLastColumn) {
    std::string page = WriteReportPage(Target(), statistics_, TickedColumns(11, std::vector<bool>(11, false)), Temp());
    EXPECT_NE(page.find(">v10<"), std::string::npos);
    for (int col = 0; col < 10; ++col) EXPECT_EQ(page.find(">v" + std::to_string(col) + "<"), std::string::npos);
}

TEST_F(ReportFileTest, TargetMayBeTheTemporaryFileItself) {
    std::string page = WriteReportPage(Temp(), statistics_, TickedColumns(11, AllBut({})), Temp());
    EXPECT_EQ(ReadBytes(Temp()), page);
    EXPECT_EQ(page.rfind("</body></html>\r\n"), page.size() - 16);
}

// A log's page is written as it is made: what the save holds does not grow with the table (the page and
// the fragment are 10 MB each here), and both files are what the page and the fragment of the whole are.
TEST_F(ReportFileTest, LargeTableIsSavedWithoutHoldingItsPage) {
    const auto before = testing_support::HeapInUse();
    if (!before) GTEST_SKIP() << "the heap in use cannot be known here";
    testing_support::VirtualGrid grid(4, 25'000, 25'000, 40);
    testing_support::FakeSaveProgress progress;
    SaveReportPage(Target(), grid, grid.VisibleRealColumns(), Temp(), HeadlessColorScheme(), progress);
    EXPECT_LT(progress.peak_heap - *before, 1'000'000u) << "held while saving";
    EXPECT_EQ(progress.positions.back(), SaveMeter::kScale);
    EXPECT_EQ(progress.hidden, 1);

    const std::string fragment = BuildHtmlTable(grid);
    EXPECT_GT(fragment.size(), 10'000'000u);
    EXPECT_TRUE(ReadBytes(Temp()) == fragment);
    EXPECT_TRUE(ReadBytes(Target()) == ReportPage(fragment));
}

// A save the user stops leaves the previous page as it was, and neither the unfinished fragment nor the
// unfinished page behind it.
TEST_F(ReportFileTest, StoppedSaveLeavesTheOldPageAndNoTemporaryFile) {
    for (int stop_at_step : {1, 500}) {
        SCOPED_TRACE(stop_at_step);
        std::ofstream(Target(), std::ios::binary) << "old page";
        testing_support::VirtualGrid grid(4, 50'000, 50'000, 40);
        testing_support::FakeSaveProgress progress(stop_at_step);
        EXPECT_THROW(SaveReportPage(Target(), grid, grid.VisibleRealColumns(), Temp(), HeadlessColorScheme(), progress),
                     ESaveCancelled);
        EXPECT_EQ(progress.hidden, 1);
        EXPECT_EQ(ReadBytes(Target()), "old page");
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"export.htm"});
    }
}

TEST_F(ReportFileTest, FailuresNameTheirFile) {
    const std::string missing = (dir_ / "missing" / "x.htm").string();
    try {
        WriteReportPage(Target(), statistics_, TickedColumns(11, AllBut({2})), missing);
        FAIL() << "no error";
    } catch (const ETableGridError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot Create file " + missing);
    }
    EXPECT_FALSE(fs::exists(Target()));

    try {
        WriteReportPage(missing, statistics_, TickedColumns(11, AllBut({2})), Temp());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing);
    }
    EXPECT_TRUE(fs::exists(Temp()));
}

#ifndef _WIN32

// A full disk while the page is written: the error names the file, the report of the last run stays whole
// (a web server goes on serving it), and nothing of the new page is left behind.
TEST_F(ReportFileTest, FailedWriteLeavesThePreviousReportWhole) {
    const std::string previous = ReadBytes(fs::path(TARNWELL_TEST_DATA) / "report_2x3_page.htm");
    std::ofstream(Target(), std::ios::binary) << previous;
    const std::size_t fragment = BuildHtmlTable(statistics_).size();
    try {
        // Room for the fragment in grid.tmp, not for the page around it.
        testing_support::FileSizeLimit limit(fragment + 16);
        WriteReportPage(Target(), statistics_, TickedColumns(11, AllBut({})), Temp());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file " + Target() + ": File too large");
    }
    EXPECT_EQ(ReadBytes(Target()), previous);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"export.htm", "grid.tmp"}));
}

// Whatever stands at the temporary name is deleted and the fragment written into a new file: a link there
// does not lead it into another file, a read-only file left by another account does not block the report.
TEST_F(ReportFileTest, TemporaryFileIsMadeAnewWhateverStoodThere) {
    const fs::path victim = dir_ / "victim.txt";
    struct Case {
        const char* name;
        std::function<void()> plant;
    };
    const Case cases[] = {
        {"link", [&] { fs::create_symlink(victim, Temp()); }},
        {"read-only file",
         [&] {
             std::ofstream(Temp(), std::ios::binary) << "old fragment of another account";
             fs::permissions(Temp(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(victim, std::ios::binary) << "precious";
        c.plant();
        WriteReportPage(Target(), statistics_, TickedColumns(11, AllBut({})), Temp());
        EXPECT_FALSE(fs::is_symlink(Temp()));
        EXPECT_EQ(ReadBytes(Temp()), BuildHtmlTable(statistics_));
        EXPECT_EQ(ReadBytes(victim), "precious");
        fs::remove(Temp());
    }
}

// The user's own report that he made read-only stays as it is, although he may replace any file of the
// folder: only its protection refuses the new page.
TEST_F(ReportFileTest, ReadOnlyReportIsNotReplaced) {
    testing_support::RunUnprivileged(dir_, [&] {
        std::ofstream(Target(), std::ios::binary) << "kept";
        fs::permissions(Target(), fs::perms::owner_read);
        try {
            WriteReportPage(Target(), statistics_, TickedColumns(11, AllBut({})), Temp());
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file " + Target());
        }
        EXPECT_EQ(ReadBytes(Target()), "kept");
    });
}

#endif

}  // namespace
}  // namespace tarnwell
