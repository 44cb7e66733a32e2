#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tarnwell {

// The text of a number as the program shows it: plain decimal notation (never an exponent), rounded to
// 15 significant digits (halves away from zero), trailing zeros after the separator dropped, the
// separator dropped when no digit follows it, a leading minus for negative values. The separator is the
// decimal comma on every platform, whatever the machine's locale, so a scheduled run and the window
// produce the same texts. Not-a-number and infinities, which the program never formats, read "NAN" and
// "INF" / "-INF".
std::string FormatPlainDecimal(double value);

// Room for any such text: a double's power of ten lies within +-324, and 15 digits, a sign and a comma.
using PlainDecimalBuffer = std::array<char, 400>;

// The same text, written into the buffer, for callers that format many numbers without a string each.
std::string_view WritePlainDecimal(double value, PlainDecimalBuffer& buffer);

}  // namespace tarnwell
