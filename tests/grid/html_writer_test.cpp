#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "grid/html_table.h"
#include "grid/table_grid.h"
#include "grid/table_grid_error.h"
#include "support/fake_save_progress.h"
#include "support/file_size_limit.h"
#include "support/temp_folder.h"
#include "support/virtual_grid.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;
namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines without their CR LF; fails the test if a line ends otherwise.
std::vector<std::string> CrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end = bytes.find("\r\n"); end != std::string::npos; end = bytes.find("\r\n", start)) {
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, bytes.size()) << "bytes after the last CR LF";
    return lines;
}

class HtmlWriter : public ::testing::Test {
protected:
    // The example table: header A B, then 1 and an empty cell, then x y; one fixed row, no bands.
    static void Fill2x3(TTableGrid& grid) {
        grid.SetCellEx(0, 0, "A");
        grid.SetCellEx(1, 0, "B");
        grid.SetCellEx(0, 1, "1");
        grid.SetCellEx(0, 2, "x");
        grid.SetCellEx(1, 2, "y");
    }

    std::string Save(const TTableGrid& grid, const ColorScheme& colors = HeadlessColorScheme()) {
        std::string file = (dir_ / "table.htm").string();
        grid.SaveToHTML(file, colors);
        return ReadBytes(file);
    }

    testing_support::TempFolder dir_;
};

struct ReferenceCase {
    const char* name;
    void (*shape)(TTableGrid&);
    const char* reference;
};

TEST_F(HtmlWriter, ExampleTableAndItsVariantsMatchReferenceFiles) {
    const ReferenceCase cases[] = {
        {"as filled", [](TTableGrid&) {}, "grid_2x3_header.htm"},
        {"second column hidden", [](TTableGrid& g) { g.HideColumn(1); }, "grid_2x3_second_column_hidden.htm"},
        {"cut to one row", [](TTableGrid& g) { g.SetRowCount(1); }, "grid_2x3_cut_to_one_row.htm"},
    };
    for (const ReferenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        TTableGrid grid(2, 3);
        ASSERT_EQ(grid.FixedRows(), 1);
        Fill2x3(grid);
        c.shape(grid);
        EXPECT_EQ(Save(grid), ReadBytes(fs::path(TARNWELL_TEST_DATA) / c.reference));
    }
}

TEST_F(HtmlWriter, ExampleTableHasFourteenCrLfLines) {
    TTableGrid grid(2, 3);
    Fill2x3(grid);
    EXPECT_EQ(CrLfLines(Save(grid)).size(), 14u);
}

// Cell text is text: markup in a log line or a name shows as written instead of acting. The entities come
// before the line-break rule, whose "<br>" is markup; texts without "&", "<", ">" stay byte for byte.
TEST_F(HtmlWriter, CellTextIsEscapedThenCrBecomesABreak) {
    struct Case {
        std::string text;
        std::string written;
    };
    const Case cases[] = {
        {"<b>&\"'", "&lt;b&gt;&amp;\"'"},
        {"GET http://x/<script>alert(1)</script>", "GET http://x/&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"&amp; &lt;", "&amp;amp; &amp;lt;"},
        {"a<\r>b", "a&lt;<br>&gt;b"},
        {"one\r\ntwo", "one<br>\ntwo"},
        {"\r\r", "<br><br>"},
        {"a\nb", "a\nb"},
        {"", "<br>"},
        {std::string("Сумма 12,5 мб."_cp), std::string("Сумма 12,5 мб."_cp)},
        {"x=\"1\" 'q' %20 #", "x=\"1\" 'q' %20 #"},
    };
    TTableGrid grid(1, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        grid.SetCellEx(0, 0, c.text);
        EXPECT_EQ(BuildHtmlTable(grid),
                  "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\" width=\"100%\">\r\n<tr>\r\n"
                  "<td nowrap bgcolor=\"#FFFFFF\"><font color=\"#000000\">" +
                      c.written + "</font></td>\r\n</tr>\r\n</table>\r\n");
    }
    // Header cells are text as well.
    TTableGrid header(1, 2);
    header.SetCellEx(0, 0, "<i>RealName</i>");
    EXPECT_EQ(CrLfLines(BuildHtmlTable(header))[2],
              "<td nowrap bgcolor=\"#F0F0F0\"><b>&lt;i&gt;RealName&lt;/i&gt;</b></td>");
}

// The statistics table: a send box with no text in column 0, bands from the first user row on.
TEST_F(HtmlWriter, BandsAlternateFromFirstDataRowAndCheckBoxesAreNotWritten) {
    struct Scheme final : ColorScheme {
        std::uint32_t Resolve(SystemColor name) const override {
            switch (name) {
                case SystemColor::Window:
                    return 0xABCDEF;
                case SystemColor::InfoBk:
                    return 0x0A0B0C;
                case SystemColor::BtnFace:
                    return 0x102030;
                case SystemColor::WindowText:
                    return 0xFEDCBA;
                case SystemColor::HotLight:
                    return 0x000001;
            }
            return 0;
        }
    } scheme;
    TTableGrid grid(2, 6);
    grid.Bands.Active = true;
    grid.SetCellEx(0, 0, "Послать"_cp);
    grid.SetCellEx(1, 0, "Логин"_cp);
    for (int row = 1; row < 6; ++row) {
        grid.AddCheckBox(0, row, row % 2 == 0);
        grid.SetCellEx(1, row, "u" + std::to_string(row));
    }
    // Colours are resolved through the scheme the writer is given, not when the grid was made.
    std::vector<std::string> lines = CrLfLines(Save(grid, scheme));

    ASSERT_EQ(lines.size(), 1u + 6 * 4 + 1);
    EXPECT_EQ(lines[2], "<td nowrap bgcolor=\"#102030\"><b>" + std::string("Послать"_cp) + "</b></td>");
    for (int row = 1; row < 6; ++row) {
        SCOPED_TRACE(row);
        const char* background = row % 2 == 1 ? "#0A0B0C" : "#ABCDEF";
        std::string start = std::string("<td nowrap bgcolor=\"") + background + "\"><font color=\"#FEDCBA\">";
        EXPECT_EQ(lines[row * 4 + 2], start + "<br></font></td>");
        EXPECT_EQ(lines[row * 4 + 3], start + "u" + std::to_string(row) + "</font></td>");
    }
}

TEST_F(HtmlWriter, FixedCellsAmongDataRowsTakeFixedColours) {
    TTableGrid grid(2, 4);
    grid.SetFixedRows(2);
    grid.SetFixedCols(1);
    grid.Bands.Active = true;
    grid.FixedFontColor = ColorValue::Rgb(0x12, 0x34, 0x56);
    std::vector<std::string> lines = CrLfLines(BuildHtmlTable(grid));
    const std::string fixed = "<td nowrap bgcolor=\"#F0F0F0\"><font color=\"#123456\"><br></font></td>";
    ASSERT_EQ(lines.size(), 1u + 4 * 4 + 1);
    EXPECT_EQ(lines[2], "<td nowrap bgcolor=\"#F0F0F0\"><b><br></b></td>");  // header row
    EXPECT_EQ(lines[6], fixed);                                              // row 1, fixed row
    EXPECT_EQ(lines[7], fixed);
    EXPECT_EQ(lines[10], fixed);  // row 2, fixed column
    EXPECT_EQ(lines[11], "<td nowrap bgcolor=\"#FFFFE1\"><font color=\"#000000\"><br></font></td>");
    EXPECT_EQ(lines[15], "<td nowrap bgcolor=\"#FFFFFF\"><font color=\"#000000\"><br></font></td>");
}

TEST_F(HtmlWriter, SettingsAndBandLengthsShapeTheTable) {
    TTableGrid grid(1, 6);
    grid.HTMLSettings = HtmlSettings{2, 3, 4, 50};
    grid.Bands = GridBands{true, ColorValue::Rgb(1, 1, 1), 2, ColorValue::Rgb(2, 2, 2), 1};
    std::vector<std::string> lines = CrLfLines(BuildHtmlTable(grid));
    EXPECT_EQ(lines[0], "<table border=\"2\" cellspacing=\"3\" cellpadding=\"4\" width=\"50%\">");
    std::string colours;
    for (const std::string& line : lines) {
        if (line.find("<font") != std::string::npos) colours += line.substr(20, 7) == "#010101" ? 'P' : 'S';
    }
    EXPECT_EQ(colours, "PPSPP");

    // Bands of no length at all would divide by zero: they colour nothing.
    grid.Bands.PrimaryLength = 0;
    grid.Bands.SecondaryLength = 0;
    EXPECT_EQ(BuildHtmlTable(grid).find("#010101"), std::string::npos);
}

TEST_F(HtmlWriter, TextsComeThroughTheSaveCellHook) {
    class Upper final : public TTableGrid {
    public:
        using TTableGrid::TTableGrid;
        std::string_view SaveCell(int col, int row) const override { return col == 1 && row == 1 ? "hooked" : "-"; }
    };
    Upper grid(3, 2);
    grid.HideColumn(0);
    std::string html = BuildHtmlTable(grid);
    EXPECT_NE(html.find(">hooked</font>"), std::string::npos);
    EXPECT_EQ(CrLfLines(html)[6], "<td nowrap bgcolor=\"#FFFFFF\"><font color=\"#000000\">hooked</font></td>");
}

// A table many chunks long goes out chunk by chunk as it is made: the chunks make up the fragment, none
// holds more than a chunk and a row, and every row moves the save's gauge on.
TEST_F(HtmlWriter, LargeTableGoesOutInChunksThatMakeUpTheFragment) {
    testing_support::VirtualGrid grid(4, 20'000, 20'000);
    std::string streamed;
    std::vector<std::size_t> chunks;
    std::string out;
    testing_support::FakeSaveProgress progress;
    {
        SaveMeter meter(progress, static_cast<std::uint64_t>(grid.RowCount()));
        WriteHtmlTable(grid, grid.VisibleRealColumns(), HeadlessColorScheme(), out,
                       [&](std::string& chunk) {
                           chunks.push_back(chunk.size());
                           streamed += chunk;
                           chunk.clear();
                       },
                       &meter);
    }
    streamed += out;
    EXPECT_EQ(streamed, BuildHtmlTable(grid));
    ASSERT_GT(chunks.size(), 20u);
    for (std::size_t size : chunks) {
        EXPECT_GE(size, kHtmlChunk);
        EXPECT_LT(size, kHtmlChunk + 400);  // one row of four cells
    }
    EXPECT_EQ(progress.positions.back(), SaveMeter::kScale);
}

TEST_F(HtmlWriter, MissingFolderGivesTheErrorAndNoFile) {
    TTableGrid grid(2, 3);
    Fill2x3(grid);
    const std::string file = (dir_ / "missing" / "table.htm").string();
    try {
        grid.SaveToHTML(file);
        FAIL() << "no error";
    } catch (const ETableGridError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot Create file " + file);
    }
    EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(HtmlWriter, ReplacesAnExistingFile) {
    const fs::path file = dir_ / "table.htm";
    std::ofstream(file, std::ios::binary) << std::string(10000, 'z');
    TTableGrid grid(2, 3);
    Fill2x3(grid);
    grid.SaveToHTML(file.string());
    EXPECT_EQ(ReadBytes(file), ReadBytes(fs::path(TARNWELL_TEST_DATA) / "grid_2x3_header.htm"));
}

#ifndef _WIN32
TEST_F(HtmlWriter, FailedWriteNamesTheFileAndKeepsTheOldOne) {
    const fs::path file = dir_ / "table.htm";
    std::ofstream(file, std::ios::binary) << "old";
    TTableGrid grid(2, 3000);
    try {
        testing_support::FileSizeLimit limit(1000);
        grid.SaveToHTML(file.string());
        FAIL() << "no error";
    } catch (const ETableGridError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file " + file.string() + ": File too large");
    }
    EXPECT_EQ(ReadBytes(file), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1);
}
#endif

}  // namespace
}  // namespace tarnwell
