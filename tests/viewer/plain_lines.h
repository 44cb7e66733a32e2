#pragma once

#include <string>
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

}  // namespace tarnwell
