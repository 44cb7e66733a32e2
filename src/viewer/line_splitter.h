#pragma once

#include <cstddef>
#include <string_view>

namespace tarnwell {

// Walks a text line by line. Lines end at CR LF, at a lone CR and at a lone LF; a break at the very end
// of the text adds no empty line, and an empty text has no lines. Each byte is looked at a bounded
// number of times, however the breaks are mixed.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view text);
    // The next line as the byte range [begin, end) of the text, without its break; false at the end.
    bool Next(std::size_t& begin, std::size_t& end);

private:
    std::size_t Find(char c, std::size_t from) const;

    std::string_view text_;
    std::size_t pos_ = 0;
    // Where the next CR and LF at or after pos_ are (the text's size when there is none). Each is
    // searched again only once the walk has passed it, so a file of lone CRs does not search the whole
    // rest of the text for an LF on every line.
    std::size_t next_cr_;
    std::size_t next_lf_;
};

// The number of lines LineSplitter gives for the text.
std::size_t CountLines(std::string_view text);

}  // namespace tarnwell
