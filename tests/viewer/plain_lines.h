#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tarnwell {

// The lines of a text found the plain way, byte by byte: the oracle the loader's fast scans are checked
// against. CR LF, a lone CR and a lone LF end a line; a break at the very end adds no empty line.
inline std::vector<std::string> PlainLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

// The cells a load shows, and the counts it sets.
struct PlainLoad {
    std::map<std::pair<int, int>, std::string> cells;  // (column, row) -> text
    int rows = 0;                                      // 0: the row count stays as it was
    int widest = 0;
};

// What the loader makes of a text, found the plain way: the text up to its first NUL, each line's fields
// one by one, the fields after the first TAB taken from the 255 bytes that follow it.
inline PlainLoad LoadPlainly(std::string text) {
    PlainLoad expected;
    text = text.substr(0, text.find('\0'));
    const std::vector<std::string> lines = PlainLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string s = lines[i];
        const std::size_t length = s.size();
        for (std::size_t j = 0; j < length; ++j) {
            const std::size_t tab = s.find('\t');
            expected.cells[{static_cast<int>(j), static_cast<int>(i)}] = s.substr(0, tab);
            if (tab == std::string::npos) {
                expected.widest = std::max(expected.widest, static_cast<int>(j) + 1);
                expected.rows = static_cast<int>(i) + 1;
                break;
            }
            s = s.substr(tab + 1, 255);
        }
    }
    return expected;
}

}  // namespace tarnwell
