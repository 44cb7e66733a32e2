#pragma once

#include <cstddef>
#include <string_view>

namespace tarnwell {

// The byte searches of the text loader. A log line is short and has few fields, so a call to memchr
// per field and per line end costs more than the search itself; these look at 16 bytes a step where
// the processor allows and need no call.

// The first CR or LF in [p, end), or end.
const char* FindLineBreak(const char* p, const char* end);

// The first TAB, CR or LF in [p, end), or end: where a field ends.
const char* FindFieldEnd(const char* p, const char* end);

// The line breaks in [p, end) before its first NUL byte, and where that NUL is (end when there is none).
// CR LF is one break, as are a lone CR and a lone LF; a CR that ends the range counts as a break whatever
// follows it there.
struct LineBreaks {
    std::size_t breaks = 0;
    const char* nul = nullptr;
};
LineBreaks CountLineBreaks(const char* p, const char* end);

// The number of lines of a text up to its first NUL byte, split at CR LF, a lone CR and a lone LF, where
// a break at the very end adds no empty line: the breaks, plus one when the text does not end with one.
std::size_t CountLines(std::string_view text);

// Where a line starts at or after `from`: `from` itself when a line starts there (at the text's start, or
// after a break that is not the CR of a CR LF), else after the next break, else the end. A text cut at
// such places splits into parts whose lines are the text's lines.
std::size_t NextLineStart(std::string_view text, std::size_t from);

}  // namespace tarnwell
