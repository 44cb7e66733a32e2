#include "grid/xls_workbook.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>

#include "grid/table_grid_error.h"
#include "text/cp1251_literal.h"
#include "xls_read_back.h"

namespace tarnwell {
namespace {

using namespace literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

// A sheet's texts (Windows-1251) by row and column; cells not listed are empty.
struct Sheet {
    std::size_t rows = 0;
    std::size_t columns = 0;
    std::map<std::pair<std::size_t, std::size_t>, std::string> texts;

    void Write(const std::string& file) const {
        WriteXlsWorkbook(file, rows, columns, 1, [this](std::size_t r, std::size_t c) -> std::string_view {
            auto found = texts.find({r, c});
            return found == texts.end() ? std::string_view() : std::string_view(found->second);
        });
    }
};

// `length` characters drawn from `alphabet` in an order that never repeats with a short period, so a
// piece lost or doubled at a record boundary shows.
std::string Varied(std::string_view alphabet, std::size_t length, std::size_t seed = 0) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text.push_back(alphabet[(i * 7 + i / 97 + seed) % alphabet.size()]);
    return text;
}

const std::string kCyrillic("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя"_cp);
const std::string kLatin = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 .,;";
// Characters of the code page that are below U+0100 in Unicode, stored compressed like plain Latin.
const std::string kLatin1("«§°±»©®¶µ·¤¦¬"_cp);

// Compares every cell that xlrd reads with what was written; returns the first differences.
void ExpectReadsBack(const Sheet& sheet, const std::string& file) {
    xls_test::ReadWorkbook book = xls_test::ReadBack(file);
    EXPECT_THAT(book.other, IsEmpty());
    EXPECT_EQ(book.sheets, 1);
    EXPECT_TRUE(book.string_index_ok);
    std::size_t rows = 0, columns = 0, filled = 0;
    std::vector<std::string> differences;
    for (const auto& [at, text] : sheet.texts) {
        if (text.empty()) continue;
        ++filled;
        rows = std::max(rows, at.first + 1);
        columns = std::max(columns, at.second + 1);
        auto found = book.cells.find(at);
        std::string where = std::to_string(at.first) + "," + std::to_string(at.second);
        if (found == book.cells.end()) {
            differences.push_back(where + " missing");
        } else if (found->second.kind != "text" || found->second.text != text) {
            differences.push_back(where + " holds a " + found->second.kind + " of " +
                                  std::to_string(found->second.text.size()) + " bytes, not " +
                                  std::to_string(text.size()));
        } else if (found->second.wrap != (text.find('\n') != std::string::npos)) {
            differences.push_back(where + " wraps wrongly");
        }
        if (differences.size() == 5) break;
    }
    EXPECT_THAT(differences, IsEmpty());
    EXPECT_EQ(book.cells.size(), filled);
    EXPECT_EQ(book.rows, rows);
    EXPECT_EQ(book.columns, columns);
    EXPECT_EQ(book.declared_rows, rows);
    EXPECT_EQ(book.declared_columns, columns);
}

Sheet MixedTexts() {
    Sheet s{5, 5, {}};
    s.texts = {
        {{0, 0}, std::string("Пользователь"_cp)},
        {{0, 1}, "Traffic"},
        {{0, 2}, kLatin1},
        {{0, 4}, "=1+2"},
        {{1, 0}, std::string("две\nстроки"_cp)},
        {{1, 2}, std::string("Ёё №"_cp)},
        {{1, 3}, "123"},
        {{1, 4}, "Traffic"},
        {{3, 1}, "  spaces  "},
        {{3, 2}, "tab\there"},
        {{3, 3}, std::string("Пользователь"_cp)},
    };
    return s;
}

// Texts that do not fit one record: split across CONTINUE records, compressed and not.
Sheet LongTexts() {
    Sheet s{3, 2, {}};
    s.texts = {
        {{0, 0}, Varied(kCyrillic, 5000)},
        {{0, 1}, Varied(kLatin, 20000)},
        {{1, 0}, Varied(kLatin + kCyrillic, 32767)},
        {{2, 1}, Varied(kCyrillic + "\n", 12000)},
    };
    return s;
}

// Thousands of distinct short texts of varied lengths: the string table runs over many CONTINUE records,
// with strings starting, ending and splitting at every kind of place near their boundaries.
Sheet ManyStrings() {
    Sheet s{2500, 3, {}};
    const std::string alphabets[] = {kCyrillic, kLatin, kLatin + kLatin1};
    for (std::size_t r = 0; r < s.rows; ++r) {
        for (std::size_t c = 0; c < s.columns; ++c) {
            s.texts[{r, c}] = Varied(alphabets[(r + c) % 3], (r * 7 + c * 3) % 61, r) + std::to_string(r * 3 + c);
        }
    }
    return s;
}

// Strings that meet the end of a record at each edge case. The first record has 8224 bytes of data after
// the two counts (8 bytes); a string header (3 bytes) never parts from its first character, and split
// characters go on in a CONTINUE record after a repeated option byte.
Sheet RecordBoundaries() {
    Sheet s{8, 1, {}};
    s.texts = {
        {{0, 0}, Varied(kLatin, 8211)},     // ends 2 bytes before the record's end
        {{1, 0}, "ab"},                     // header and a character do not fit: all of it goes on
        {{2, 0}, Varied(kLatin, 8212, 1)},  // ends 4 bytes before the end
        {{3, 0}, "cd"},                     // header and 'c' fit exactly, 'd' goes on
        {{4, 0}, Varied(kCyrillic, 4107)},  // ends 5 bytes before the end
        {{5, 0}, std::string("яю"_cp)},     // header and 'я' fit exactly, 'ю' goes on
        {{6, 0}, Varied(kCyrillic, 4107, 1)},
        {{7, 0}, std::string("жз"_cp)},  // 4 bytes left: too few for header and one 2-byte character
    };
    return s;
}

Sheet ThreeHundredRows() {
    Sheet s{300, 11, {}};
    for (std::size_t c = 0; c < s.columns; ++c) s.texts[{0, c}] = std::string("Столбец "_cp) + std::to_string(c);
    for (std::size_t r = 1; r < s.rows; ++r) {
        for (std::size_t c = 0; c < s.columns; ++c) {
            s.texts[{r, c}] =
                c == 0 ? "user" + std::to_string(r) : std::to_string(r * c % 97) + std::string(",5 мб."_cp);
        }
    }
    return s;
}

Sheet MaxRows() {
    Sheet s{kXlsMaxRows, 1, {}};
    for (std::size_t r = 0; r < s.rows; ++r) s.texts[{r, 0}] = std::string("строка "_cp) + std::to_string(r);
    return s;
}

Sheet MaxColumns() {
    Sheet s{1, kXlsMaxColumns, {}};
    for (std::size_t c = 0; c < s.columns; ++c) s.texts[{0, c}] = std::string("столбец "_cp) + std::to_string(c);
    return s;
}

Sheet EmptySheet() {
    return Sheet{3, 4, {}};
}

struct ReadBackCase {
    const char* name;
    Sheet (*make)();
    friend void PrintTo(const ReadBackCase& c, std::ostream* os) { *os << c.name; }
};

class XlsReadBack : public xls_test::ScratchFolder, public ::testing::WithParamInterface<ReadBackCase> {};

TEST_P(XlsReadBack, EveryCellReadsBackAsWritten) {
    if (!xls_test::HavePython()) GTEST_SKIP() << "no Python in this build";
    Sheet sheet = GetParam().make();
    std::string file = PathOf("book.xls");
    sheet.Write(file);
    ExpectReadsBack(sheet, file);
}

INSTANTIATE_TEST_SUITE_P(Sheets, XlsReadBack,
                         ::testing::Values(ReadBackCase{"MixedTexts", MixedTexts}, ReadBackCase{"LongTexts", LongTexts},
                                           ReadBackCase{"RecordBoundaries", RecordBoundaries},
                                           ReadBackCase{"ManyStrings", ManyStrings},
                                           ReadBackCase{"ThreeHundredRows", ThreeHundredRows},
                                           ReadBackCase{"MaxRows", MaxRows}, ReadBackCase{"MaxColumns", MaxColumns},
                                           ReadBackCase{"EmptySheet", EmptySheet}),
                         [](const auto& info) { return std::string(info.param.name); });

// A table longer than a sheet: how many rows each sheet of the workbook gets.
struct SheetSplit {
    const char* name;
    std::size_t rows;
    std::size_t header_rows;
    std::vector<std::size_t> sheet_rows;
    friend void PrintTo(const SheetSplit& s, std::ostream* os) { *os << s.name; }
};

class XlsSheets : public xls_test::ScratchFolder, public ::testing::WithParamInterface<SheetSplit> {};

// Nothing is lost: the table goes on over further sheets of 65,536 rows, each starting with the fixed
// header rows again, and every other row of the table is on exactly one sheet, in order. Only the first
// sheet is selected, and each sheet's records come in the format's order.
TEST_P(XlsSheets, LongTableGoesOnOverSheetsThatRepeatTheHeader) {
    if (!xls_test::HavePython()) GTEST_SKIP() << "no Python in this build";
    const SheetSplit& split = GetParam();
    const std::size_t h = split.header_rows;
    auto text = [h](std::size_t r, std::size_t c) -> std::string {
        if (r < h) return std::string("Заголовок "_cp) + std::to_string(r) + "." + std::to_string(c);
        if (c == 0) return std::string("строка "_cp) + std::to_string(r);
        return r % 1000 == 0 ? "#" + std::to_string(r) : std::string();
    };
    std::string scratch;
    const std::string file = PathOf("long.xls");
    WriteXlsWorkbook(file, split.rows, 2, h, [&](std::size_t r, std::size_t c) -> std::string_view {
        scratch = text(r, c);
        return scratch;
    });

    xls_test::ReadWorkbook book = xls_test::ReadBack(file);
    EXPECT_THAT(book.other, IsEmpty());
    EXPECT_TRUE(book.string_index_ok);
    ASSERT_EQ(book.sheet.size(), split.sheet_rows.size());
    const std::vector<std::string> order = xls_test::RecordOrder(file);
    ASSERT_EQ(order.size(), split.sheet_rows.size());
    std::size_t next = 0;  // the next table row not yet seen on a sheet
    for (std::size_t k = 0; k < book.sheet.size(); ++k) {
        SCOPED_TRACE("sheet " + std::to_string(k + 1));
        const xls_test::ReadSheet& sheet = book.sheet[k];
        EXPECT_EQ(sheet.name, std::string("Лист"_cp) + std::to_string(k + 1));
        EXPECT_EQ(sheet.selected, k == 0);
        EXPECT_EQ(sheet.rows, split.sheet_rows[k]);
        std::vector<std::string> differences;
        std::size_t filled = 0;
        for (std::size_t r = 0; r < split.sheet_rows[k]; ++r) {
            const std::size_t table_row = k > 0 && r < h ? r : next++;
            for (std::size_t c = 0; c < 2; ++c) {
                const std::string want = text(table_row, c);
                if (want.empty()) continue;
                ++filled;
                auto found = sheet.cells.find({r, c});
                if (found == sheet.cells.end() || found->second.text != want) {
                    if (differences.size() < 5) differences.push_back(std::to_string(r) + "," + std::to_string(c));
                }
            }
        }
        EXPECT_THAT(differences, IsEmpty());
        EXPECT_EQ(sheet.cells.size(), filled);
        const std::string cells = filled == 1 ? "00FD" : "00FD*" + std::to_string(filled);
        EXPECT_EQ(order[k], "0809 0200 " + cells + " 023E 000A");
    }
    EXPECT_EQ(next, split.rows);
}

INSTANTIATE_TEST_SUITE_P(Split, XlsSheets,
                         ::testing::Values(SheetSplit{"OneRowMore", kXlsMaxRows + 1, 1, {kXlsMaxRows, 2}},
                                           SheetSplit{"ThreeSheets", 2 * kXlsMaxRows, 1, {kXlsMaxRows, kXlsMaxRows, 2}},
                                           SheetSplit{"ThreeFixedRows", kXlsMaxRows + 10, 3, {kXlsMaxRows, 13}}),
                         [](const auto& info) { return std::string(info.param.name); });

using XlsWorkbook = xls_test::ScratchFolder;

// The format puts a sheet's cells before its window settings; a reader that keeps to it refuses a
// WINDOW2 record among the sheet's first records.
TEST_F(XlsWorkbook, SheetRecordsComeInTheFormatsOrder) {
    if (!xls_test::HavePython()) GTEST_SKIP() << "no Python in this build";
    MixedTexts().Write(PathOf("cells.xls"));
    EmptySheet().Write(PathOf("empty.xls"));
    EXPECT_THAT(xls_test::RecordOrder(folder_ / "cells.xls"), ElementsAre("0809 0200 00FD*11 023E 000A"));
    EXPECT_THAT(xls_test::RecordOrder(folder_ / "empty.xls"), ElementsAre("0809 0200 023E 000A"));
}

std::string FileContents(const std::string& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& file, const std::string& contents) {
    std::ofstream(std::filesystem::path(file), std::ios::binary) << contents;
}

// Each distinct text is stored once however many cells hold it.
TEST_F(XlsWorkbook, RepeatedTextIsStoredOnce) {
    Sheet sheet{2000, 1, {}};
    for (std::size_t r = 0; r < sheet.rows; ++r) sheet.texts[{r, 0}] = Varied(kCyrillic, 1000);
    std::string file = PathOf("book.xls");
    sheet.Write(file);
    // 2000 cell records of 14 bytes and one string of 2003 bytes; 2000 copies would take 4 MB.
    EXPECT_LT(std::filesystem::file_size(file), 40000u);
    if (xls_test::HavePython()) ExpectReadsBack(sheet, file);
}

TEST_F(XlsWorkbook, ReplacesAnExistingFileAndLeavesNoTemporaryFile) {
    std::string file = PathOf("book.xls");
    WriteFile(file, "old contents");
    WriteFile(file + ".tmp", "someone else's");  // a name the writer must not take over
    WriteFile(file + ".tarnwell.tmp", "left by a crash");
    Sheet sheet = MixedTexts();
    sheet.Write(file);
    EXPECT_EQ(FileContents(file).substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    EXPECT_EQ(FileContents(file + ".tmp"), "someone else's");
    EXPECT_THAT(FolderContents(), UnorderedElementsAre("book.xls", "book.xls.tmp"));
    if (xls_test::HavePython()) ExpectReadsBack(sheet, file);
}

struct Refusal {
    const char* name;
    std::size_t rows;
    std::size_t columns;
    const char* message;
    friend void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }
};

class XlsRefusal : public xls_test::ScratchFolder, public ::testing::WithParamInterface<Refusal> {};

// Beyond the format's limits nothing is written: an existing file stays as it was.
TEST_P(XlsRefusal, RefusesBeforeWritingAnything) {
    const Refusal& refusal = GetParam();
    std::string file = PathOf("book.xls");
    WriteFile(file, "old contents");
    const std::string too_long(32768, 'x');
    auto cell = [&](std::size_t r, std::size_t c) -> std::string_view {
        return r == 2 && c == 29 ? std::string_view(too_long) : std::string_view("x");
    };
    try {
        WriteXlsWorkbook(file, refusal.rows, refusal.columns, 1, cell);
        ADD_FAILURE() << "no error";
    } catch (const ETableGridError& e) {
        EXPECT_STREQ(e.what(), refusal.message);
    }
    EXPECT_EQ(FileContents(file), "old contents");
    EXPECT_THAT(FolderContents(), ElementsAre("book.xls"));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, XlsRefusal,
    ::testing::Values(
        Refusal{"Columns", 1, kXlsMaxColumns + 1, "Too many columns for an Excel sheet: 257 (at most 256)"},
        Refusal{"CellText", 3, 30, "Text of cell AD3 too long for Excel: 32768 characters (at most 32767)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(XlsWorkbook, MissingFolderGivesCannotCreate) {
    std::string file = PathOf("missing") + "/book.xls";
    try {
        MixedTexts().Write(file);
        ADD_FAILURE() << "no error";
    } catch (const ETableGridError& e) {
        EXPECT_EQ(e.what(), "Cannot Create file " + file);
    }
    EXPECT_THAT(FolderContents(), IsEmpty());
}

}  // namespace
}  // namespace tarnwell
