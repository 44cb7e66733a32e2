#include "viewer/to_sg.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "files/file_open_error.h"
#include "files/native_path.h"
#include "plain_lines.h"
#include "support/temp_folder.h"
#include "viewer/table_find.h"
#include "viewer/text_table_load.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tarnwell {
namespace {

using namespace std::string_literals;
using testing_support::TempFolder;

// The grid as the viewer page starts: 5 x 5 with one header row.
void MakeLikeViewerTable(TTableGrid& grid) {
    grid.SetRowCount(5);
    grid.SetColCount(5);
    grid.SetFixedRows(1);
}

// The cells inside the counts, one text per row, cells separated by '|'.
std::vector<std::string> Shown(const TTableGrid& grid) {
    std::vector<std::string> rows;
    for (int r = 0; r < grid.RowCount(); ++r) {
        std::string row;
        for (int c = 0; c < grid.ColCount(); ++c) {
            if (c > 0) row += '|';
            row += grid.GetCellEx(c, r);
        }
        rows.push_back(row);
    }
    return rows;
}

class RecordingProgress final : public LoadProgress {
public:
    void Show(int max) override { events.push_back("show " + std::to_string(max)); }
    void Position(int position) override { positions.push_back(position); }
    void Hide() override { events.push_back("hide"); }
    std::vector<std::string> events;
    std::vector<int> positions;
};

struct LoadCase {
    const char* name;
    std::string content;
    int rows;
    int cols;
    int fixed_rows;
    std::vector<std::string> shown;
};

const std::string k300 = std::string(300, 'y');

const LoadCase kLoadCases[] = {
    {"three lines of three fields", "a\tb\tc\r\nd\te\tf\r\ng\th\ti\r\n", 3, 3, 1, {"a|b|c", "d|e|f", "g|h|i"}},
    {"one line, two TABs", "a\tb\tc", 1, 3, 0, {"a|b|c"}},
    // The rest after the first TAB is cut to 255 bytes before the next TAB is looked for.
    {"second field of 300 bytes", "x\t" + k300 + "\tz\n", 1, 2, 0, {"x|" + std::string(255, 'y')}},
    // The 255 bytes count from the first TAB, not anew from each later one.
    {"window across two fields",
     "k\t" + std::string(200, 'a') + "\t" + std::string(100, 'b') + "\n",
     1,
     3,
     0,
     {"k|" + std::string(200, 'a') + "|" + std::string(54, 'b')}},
    {"first field of 1000 bytes", std::string(1000, 'f') + "\r\n", 1, 1, 0, {std::string(1000, 'f')}},
    {"last two lines empty", "a\nb\n\n\n", 2, 1, 1, {"a", "b"}},
    {"empty line in the middle", "a\n\nb\n", 3, 1, 1, {"a", "", "b"}},
    {"empty file", "", 5, 1, 1, {"", "", "", "", ""}},
    {"break only", "\r\n", 5, 1, 1, {"", "", "", "", ""}},
    // A TAB-only line writes empty cells but counts towards neither rows nor columns.
    {"line of two TABs", "\t\t\nab\n", 2, 1, 1, {"", "ab"}},
    {"TAB-only last line", "ab\n\t\t\n", 1, 1, 0, {"ab"}},
    {"line ending in a TAB", "a\tb\t\nc\n", 2, 3, 1, {"a|b|", "c||"}},
    {"line starting with a TAB", "\tb\nc", 2, 2, 1, {"|b", "c|"}},
    {"NUL ends the text", "a\tb\nc\0d\ne\tf\tg\n"s, 2, 2, 1, {"a|b", "c|"}},
    {"NUL first", "\0a\tb\n"s, 5, 1, 1, {"", "", "", "", ""}},
    {"lone CR", "a\rb\rc", 3, 1, 1, {"a", "b", "c"}},
    {"mixed breaks", "a\n\rb\r\n\r\nc", 5, 1, 1, {"a", "", "b", "", "c"}},
    {"CR at the very end", "a\r", 1, 1, 0, {"a"}},
    // With more TABs than the 255-byte window holds, the field index stays below the line's length when
    // the window runs out, so the line ends on an empty field and counts: 257 columns.
    {"line of 300 TABs", std::string(300, '\t'), 1, 257, 0, {std::string(256, '|')}},
    {"line of 256 TABs", "a\n" + std::string(256, '\t'), 1, 1, 0, {"a"}},
    {"Windows-1251 bytes kept", "\xCF\xF0\xE8\xE2\xE5\xF2\t \xFF \n", 1, 2, 0, {"\xCF\xF0\xE8\xE2\xE5\xF2| \xFF "}},
};

TEST(ToSG, LoadsLinesAndFieldsIntoTheGrid) {
    TempFolder folder;
    for (const LoadCase& c : kLoadCases) {
        SCOPED_TRACE(c.name);
        TTableGrid grid;
        MakeLikeViewerTable(grid);
        NoLoadProgress progress;
        ToSG(FromNativePath(folder.Write("case.txt", c.content)), grid, progress);
        EXPECT_EQ(grid.RowCount(), c.rows);
        EXPECT_EQ(grid.ColCount(), c.cols);
        EXPECT_EQ(grid.FixedRows(), c.fixed_rows);
        EXPECT_EQ(Shown(grid), c.shown);
    }
}

// The loading steps done the plain way, with whole strings: what the loader has to give for any text.
// Random texts of letters, TABs, CRs, LFs and now and then a NUL, with long runs, so that lines reach past
// the 255 bytes after their first TAB, fields end exactly at that limit, and lines of TABs only come both
// shorter and longer than it.
TEST(ToSG, AgreesWithThePlainStepsOnRandomTexts) {
    TempFolder folder;
    std::mt19937 random(11);
    const char alphabet[] = {'a', '\t', '\r', '\n', 'b', '\t', '\0'};
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const std::size_t pieces = random() % 40;
        for (std::size_t k = 0; k < pieces; ++k) {
            const char c = alphabet[random() % (random() % 16 == 0 ? 7 : 6)];
            const std::size_t run = random() % 8 == 0 ? random() % 300 : 1 + random() % 3;
            text.append(run, c);
        }
        SCOPED_TRACE(::testing::PrintToString(text));
        const PlainLoad expected = LoadPlainly(text);
        const int lines = static_cast<int>(PlainLines(text.substr(0, text.find('\0'))).size());

        // The file as ToSG loads it (one stretch, on the calling thread, for so small a file), and, every
        // fourth round, the same bytes cut into stretches that three threads load: the cuts fall
        // anywhere, between the CR and LF of a pair too, before and after a NUL.
        std::vector<LoadSharing> sharings = {LoadSharing{1, 1}};
        if (round % 4 == 0) sharings.push_back(LoadSharing{3, 7});
        for (const LoadSharing sharing : sharings) {
            SCOPED_TRACE(sharing.stretches);
            TTableGrid grid;
            MakeLikeViewerTable(grid);
            NoLoadProgress progress;
            if (sharing.stretches == 1) {
                ToSG(FromNativePath(folder.Write("random.txt", text)), grid, progress);
            } else {
                const auto bytes = std::make_shared<const std::string>(text);
                LoadTextTable(bytes, *bytes, "random.txt", grid, progress, HeadlessTextWidth(), sharing);
            }

            EXPECT_EQ(grid.RowCount(), expected.rows > 0 ? expected.rows : 5);
            EXPECT_EQ(grid.ColCount(), std::max(expected.widest, 1));
            EXPECT_EQ(grid.FixedRows(), grid.RowCount() > 1 ? 1 : 0);
            for (int row = 0; row <= lines; ++row) {
                for (int col = 0; col <= 258; ++col) {
                    auto it = expected.cells.find({col, row});
                    ASSERT_EQ(grid.GetCellEx(col, row), it == expected.cells.end() ? "" : it->second)
                        << "column " << col << ", row " << row;
                }
            }
        }
    }
}

TEST(ToSG, FitsColumnsToTheLoadedTexts) {
    TempFolder folder;
    TTableGrid grid;
    MakeLikeViewerTable(grid);
    NoLoadProgress progress;
    ToSG(FromNativePath(folder.Write("w.txt", "a\tbbbb\nccc\t\n")), grid, progress);
    // Headless text is 7 pixels a byte; a column is its widest text plus 16.
    EXPECT_EQ(grid.ColWidths(0), 3 * 7 + 16);
    EXPECT_EQ(grid.ColWidths(1), 4 * 7 + 16);
}

TEST(ToSG, ShowsNothingOfTheFileBefore) {
    TempFolder folder;
    TTableGrid grid;
    MakeLikeViewerTable(grid);
    NoLoadProgress progress;
    ToSG(FromNativePath(folder.Write("wide.txt", "a\tb\tc\td\n1\t2\t3\t4\nx\ty\tz\tw\n")), grid, progress);
    ToSG(FromNativePath(folder.Write("narrow.txt", "n\n\nm\n")), grid, progress);
    EXPECT_EQ(Shown(grid), (std::vector<std::string>{"n", "", "m"}));
    // Nor beyond the counts, where a later load could bring old texts back into view.
    grid.SetColCount(4);
    EXPECT_EQ(Shown(grid), (std::vector<std::string>{"n|||", "|||", "m|||"}));
}

TEST(ToSG, FileThatCannotBeOpenedChangesNothing) {
    TempFolder folder;
    const std::string loaded = FromNativePath(folder.Write("loaded.txt", "h1\th2\nv1\tv2\n"));
    const std::string sub = FromNativePath(folder.path() / "sub");
    std::filesystem::create_directory(folder.path() / "sub");
    std::vector<std::string> bad_paths = {
        FromNativePath(folder.path() / "missing.txt"), FromNativePath(folder.path() / "no folder" / "x.txt"),
        sub,  // a folder
        "",   // a double click on an empty list
    };
#ifdef _WIN32
    // Another program holds the file open for writing: its log may be half written.
    const std::filesystem::path written = folder.Write("being_written.log", "a\tb\n");
    std::ofstream writer(written, std::ios::app);
    ASSERT_TRUE(writer.is_open());
    bad_paths.push_back(FromNativePath(written));
#else
    // A pipe is no file to load, and opening it must not wait for a writer.
    const std::filesystem::path pipe = folder.path() / "pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    bad_paths.push_back(FromNativePath(pipe));
#endif
    for (const std::string& path : bad_paths) {
        SCOPED_TRACE(path);
        TTableGrid grid;
        MakeLikeViewerTable(grid);
        NoLoadProgress quiet;
        ToSG(loaded, grid, quiet);
        const int widths[] = {grid.ColWidths(0), grid.ColWidths(1)};

        RecordingProgress progress;
        try {
            ToSG(path, grid, progress);
            ADD_FAILURE() << "no error";
        } catch (const EFileOpenError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
        }
        EXPECT_EQ(Shown(grid), (std::vector<std::string>{"h1|h2", "v1|v2"}));
        EXPECT_EQ(grid.FixedRows(), 1);
        EXPECT_EQ(grid.ColWidths(0), widths[0]);
        EXPECT_EQ(grid.ColWidths(1), widths[1]);
        EXPECT_TRUE(progress.events.empty());
        EXPECT_TRUE(progress.positions.empty());
    }
}

TEST(ToSG, MovesTheGaugeAtABoundedRate) {
    TempFolder folder;
    std::string content;
    for (int i = 0; i < 200000; ++i) content += "x\n";
    TTableGrid grid;
    RecordingProgress progress;
    ToSG(FromNativePath(folder.Write("long.txt", content)), grid, progress);

    EXPECT_EQ(progress.events, (std::vector<std::string>{"show 200000", "hide"}));
    ASSERT_GE(progress.positions.size(), 3u);  // it does move
    EXPECT_LE(progress.positions.size(), 101u);
    EXPECT_EQ(progress.positions.front(), 0);
    for (std::size_t i = 1; i < progress.positions.size(); ++i) {
        EXPECT_GT(progress.positions[i], progress.positions[i - 1]);
        EXPECT_LT(progress.positions[i], 200000);
    }
    EXPECT_EQ(grid.RowCount(), 200000);
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Where the system grants leases a shown log is mapped, not read into memory: the case that the changes
// below put to the test.
void ExpectMappedWhereLeasesAre([[maybe_unused]] const std::filesystem::path& path) {
#ifndef _WIN32
    std::ifstream leases("/proc/sys/fs/leases-enable");
    int leases_on = 0;
    if (!(leases >> leases_on) || leases_on != 1) return;
    const std::string maps = ReadAll("/proc/self/maps");
    EXPECT_NE(maps.find(std::filesystem::canonical(path).string()), std::string::npos);
#endif
}

// A log that another program truncates, rewrites or rotates while it is shown: the table keeps showing
// what was loaded, to its last row, finds in it and saves it as before, and nothing faults. The log is
// large enough to be loaded on more than one thread.
TEST(ToSG, ALogChangedWhileShownStaysAsLoaded) {
    std::string content = "Time\tUser\tURL\r\n";
    for (int i = 0; content.size() < (std::size_t{9} << 19); ++i) {
        content += "12:00:" + std::to_string(i % 60) + "\tuser" + std::to_string(i % 97) + "\thttp://example.com/" +
                   std::string(static_cast<std::size_t>(i % 70), 'p') + "\r\n";
    }
    content += "23:59:59\tlast\tEND-OF-LOG\r\n";
    const int rows = static_cast<int>(PlainLines(content).size());

    const std::vector<std::pair<const char*, std::function<void(const std::filesystem::path&)>>> changes = {
        {"truncated", [](const std::filesystem::path& p) { std::filesystem::resize_file(p, 0); }},
        {"truncated to its middle",
         [](const std::filesystem::path& p) { std::filesystem::resize_file(p, std::filesystem::file_size(p) / 2); }},
        {"rewritten in place",
         [](const std::filesystem::path& p) {
             std::fstream file(p, std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(static_cast<std::streamoff>(std::filesystem::file_size(p) - 200));
             file << std::string(200, '#');
         }},
        {"rotated",
         [](const std::filesystem::path& p) {
             std::filesystem::rename(p, std::filesystem::path(p).concat(".1"));
             std::ofstream(p, std::ios::binary) << "fresh\r\n";
             std::filesystem::resize_file(std::filesystem::path(p).concat(".1"), 0);
         }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        TempFolder folder;
        const std::filesystem::path log = folder.Write("proxy.log", content);
        TTableGrid grid;
        MakeLikeViewerTable(grid);
        NoLoadProgress progress;
        ToSG(FromNativePath(log), grid, progress);
        ASSERT_EQ(grid.RowCount(), rows);
        ExpectMappedWhereLeasesAre(log);
        grid.SaveToHTML(FromNativePath(folder / "before.htm"));
        grid.SaveToXLS(FromNativePath(folder / "before.xls"));

        change(log);

        // Scrolled to the end: the window reads the last rows' cells.
        EXPECT_EQ(grid.GetCellEx(2, rows - 1), "END-OF-LOG");
        EXPECT_EQ(grid.GetCellEx(0, rows - 2).substr(0, 6), "12:00:");
        const auto found = FindCell(grid, {"end-of-log", FindScope::kWholeCell, FindDirection::kPrevious}, {});
        ASSERT_TRUE(found);
        EXPECT_EQ(found->cell.row, rows - 1);
        grid.SaveToHTML(FromNativePath(folder / "after.htm"));
        grid.SaveToXLS(FromNativePath(folder / "after.xls"));
        EXPECT_TRUE(ReadAll(folder / "after.htm") == ReadAll(folder / "before.htm"));
        EXPECT_TRUE(ReadAll(folder / "after.xls") == ReadAll(folder / "before.xls"));
    }
}

}  // namespace
}  // namespace tarnwell
