#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tarnwell {

// A text looked for in cell texts with letter case ignored for Latin and Cyrillic letters alike, and Ё
// taken as Е (text/cp1251_case.h): the matching of find and filter.
class FoldedText {
public:
    explicit FoldedText(std::string_view text);

    bool Empty() const { return folded_.empty(); }
    // Whether `cell` holds the text somewhere in it.
    bool FoundIn(std::string_view cell) const;
    // Whether `cell` is the text, and nothing more.
    bool Equals(std::string_view cell) const;

private:
    bool RestMatches(const char* at) const;

    std::string folded_;
    // The bytes that fold to the text's first byte (up to four: е, Е, ё, Ё), looked for first.
    std::array<unsigned char, 4> first_{};
    int first_count_ = 0;
};

}  // namespace tarnwell
