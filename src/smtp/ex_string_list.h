#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// A list of text lines with two operations on header lines of the form name, colon, blank, value.
class TExStringList {
public:
    int Count() const { return static_cast<int>(lines_.size()); }
    const std::string& operator[](int index) const { return lines_.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& Lines() const { return lines_; }
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    void Delete(int index) { lines_.erase(lines_.begin() + index); }
    void Clear() { lines_.clear(); }
    // Every line followed by CR LF.
    std::string Text() const;

    // The index of the first line whose text before its first ":" equals the name, without regard to
    // letter case; lines without ":" are passed over. -1 when there is none.
    int IndexOfHeader(std::string_view name) const;
    // A value that is not empty makes the line of that name (appended when there is none) read
    // "name: value"; an empty value deletes the line if there is one.
    void SetHeader(std::string_view name, std::string_view value);

private:
    std::vector<std::string> lines_;
};

}  // namespace tarnwell
