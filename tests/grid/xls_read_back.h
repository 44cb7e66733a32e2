#pragma once

// Helpers of the workbook tests: a scratch folder per test, and the files read back through python3-xlrd
// (tests/grid/xls_dump.py), whose reader and cp1251 codec are independent of the program's own.

#include <gtest/gtest.h>

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

struct ReadWorkbook {
    int sheets = 0;
    std::size_t rows = 0;
    std::size_t columns = 0;
    std::size_t declared_rows = 0;  // the used range the sheet declares
    std::size_t declared_columns = 0;
    std::map<std::pair<std::size_t, std::size_t>, ReadCell> cells;
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
        in >> tag;
        if (tag == "sheets") {
            in >> book.sheets;
        } else if (tag == "size") {
            in >> book.rows >> book.columns;
        } else if (tag == "dimensions") {
            in >> book.declared_rows >> book.declared_columns;
        } else if (tag == "index") {
            std::string verdict;
            in >> verdict;
            book.string_index_ok = verdict == "ok";
        } else if (tag == "cell") {
            std::size_t row = 0, col = 0;
            int wrap = 0;
            ReadCell cell;
            std::string hex;
            in >> row >> col >> cell.kind >> wrap >> hex;
            cell.wrap = wrap != 0;
            cell.text = FromHex(hex);
            book.cells[{row, col}] = cell;
        } else {
            book.other.push_back(line);
        }
    }
    return book;
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
