#pragma once

// Helpers of the workbook tests: a scratch folder per test, and the files read back through python3-xlrd
// (tests/grid/xls_dump.py), whose reader and cp1251 codec are independent of the program's own.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/host_python.h"
#include "support/temp_folder.h"

namespace tarnwell::xls_test {

// Also under Wine: the workbooks the Windows build writes are read by the same reader.
inline bool HavePython() {
    return !testing_support::HostPython().empty();
}

// The lines xls_dump.py prints for `mode` ("book" or "stream") and the file.
inline std::vector<std::string> RunXlsDump(const std::string& mode, const std::filesystem::path& file) {
    testing_support::ProcessResult python = testing_support::RunHostPython(
        {testing_support::SourceFile("tests/grid/xls_dump.py"), mode, testing_support::HostPath(file)});
    const std::string output = python.out + python.err;
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct ReadCell {
    std::string kind;  // "text" for a text cell
    bool wrap = false;
    std::string text;  // Windows-1251
};

struct ReadSheet {
    std::string name;  // Windows-1251
    bool selected = false;
    std::size_t rows = 0;
    std::size_t columns = 0;
    std::size_t declared_rows = 0;  // the used range the sheet declares
    std::size_t declared_columns = 0;
    std::map<std::pair<std::size_t, std::size_t>, ReadCell> cells;
};

struct ReadWorkbook : ReadSheet {  // the first sheet's contents, for the tests of one sheet
    int sheets = 0;
    std::vector<ReadSheet> sheet;    // all of them, the first one included
    bool string_index_ok = false;    // the EXTSST record points where the strings are
    std::vector<std::string> other;  // xlrd's complaints and anything unexpected
};

inline std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

inline ReadWorkbook ReadBack(const std::filesystem::path& file) {
    ReadWorkbook book;
    for (const std::string& line : RunXlsDump("book", file)) {
        std::istringstream in(line);
        std::string tag;
        std::size_t s = 0;
        in >> tag;
        if (tag == "sheets") {
            in >> book.sheets;
            book.sheet.resize(static_cast<std::size_t>(std::max(book.sheets, 0)));
        } else if ((tag == "sheet" || tag == "size" || tag == "dimensions" || tag == "cell") && (in >> s) &&
                   s < book.sheet.size()) {
            ReadSheet& sheet = book.sheet[s];
            if (tag == "sheet") {
                std::string hex;
                int selected = 0;
                in >> hex >> selected;
                sheet.name = FromHex(hex);
                sheet.selected = selected != 0;
            } else if (tag == "size") {
                in >> sheet.rows >> sheet.columns;
            } else if (tag == "dimensions") {
                in >> sheet.declared_rows >> sheet.declared_columns;
            } else {
                std::size_t row = 0, col = 0;
                int wrap = 0;
                ReadCell cell;
                std::string hex;
                in >> row >> col >> cell.kind >> wrap >> hex;
                cell.wrap = wrap != 0;
                cell.text = FromHex(hex);
                sheet.cells[{row, col}] = cell;
            }
        } else if (tag == "index") {
            std::string verdict;
            in >> verdict;
            book.string_index_ok = verdict == "ok";
        } else {
            book.other.push_back(line);
        }
    }
    if (!book.sheet.empty()) static_cast<ReadSheet&>(book) = book.sheet.front();
    return book;
}

// Each sheet's record types in stream order, as xls_dump.py's "order" prints them ("0809 0200 00FD*3
// 023E 000A"); anything else it prints follows at the end.
inline std::vector<std::string> RecordOrder(const std::filesystem::path& file) {
    std::vector<std::string> sheets;
    for (const std::string& line : RunXlsDump("order", file)) {
        std::istringstream in(line);
        std::string tag, number;
        in >> tag >> number;
        std::string rest;
        std::getline(in, rest);
        sheets.push_back(tag == "order" ? rest.substr(rest.empty() ? 0 : 1) : line);
    }
    return sheets;
}

// A fresh folder for each test, removed afterwards.
class ScratchFolder : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return folder_.File(name); }
    std::vector<std::string> FolderContents() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
            names.push_back(entry.path().filename().string());
        return names;
    }

    testing_support::TempFolder folder_;
};

}  // namespace tarnwell::xls_test
