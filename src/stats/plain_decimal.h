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

// Room for any such text (a double's power of ten lies within +-324, and 15 digits, a sign and a comma)
// and a few bytes after it.
using PlainDecimalBuffer = std::array<char, 400>;

// The same text, written into the buffer from its first byte, for callers that format many numbers
// without a string each.
std::string_view WritePlainDecimal(double value, PlainDecimalBuffer& buffer);

// That text with at most max_fraction_digits digits after the comma: the rest cut off, not rounded, and
// the comma dropped when no digit follows it (zeros that the text kept stay: 2,0001 cut at 2 is 2,00).
// What the table shows at a chosen precision. A negative max_fraction_digits cuts nothing.
std::string_view WritePlainDecimalCut(double value, int max_fraction_digits, PlainDecimalBuffer& buffer);

}  // namespace tarnwell
