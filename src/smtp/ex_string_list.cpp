#include "smtp/ex_string_list.h"

#include <algorithm>

namespace tarnwell {
namespace {

// ASCII letters only: header names are ASCII, and other bytes of Windows-1251 compare as they are.
bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::string TExStringList::Text() const {
    std::string text;
    for (const std::string& line : lines_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

int TExStringList::IndexOfHeader(std::string_view name) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::size_t colon = lines_[i].find(':');
        if (colon != std::string::npos && SameTextIgnoringCase(std::string_view(lines_[i]).substr(0, colon), name))
            return static_cast<int>(i);
    }
    return -1;
}

void TExStringList::SetHeader(std::string_view name, std::string_view value) {
    int index = IndexOfHeader(name);
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    std::string line = std::string(name) + ": " + std::string(value);
    if (index >= 0) {
        lines_[static_cast<std::size_t>(index)] = std::move(line);
    } else {
        lines_.push_back(std::move(line));
    }
}

}  // namespace tarnwell
