#pragma once

#include <string>

namespace tarnwell {

// The text of a number as the program shows it: plain decimal notation (never an exponent), rounded to
// 15 significant digits (halves away from zero), trailing zeros after the separator dropped, the
// separator dropped when no digit follows it, a leading minus for negative values. The separator is the
// decimal comma on every platform, whatever the machine's locale, so a scheduled run and the window
// produce the same texts. Not-a-number and infinities, which the program never formats, read "NAN" and
// "INF" / "-INF".
std::string FormatPlainDecimal(double value);

}  // namespace tarnwell
