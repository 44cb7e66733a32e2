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

// The number of lines of a text split at CR LF, a lone CR and a lone LF, where a break at the very end
// adds no empty line: the breaks, plus one when the text does not end with one.
std::size_t CountLines(std::string_view text);

}  // namespace tarnwell
