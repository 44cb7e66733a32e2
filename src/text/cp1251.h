#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// Windows-1251 is the program's text encoding: cell texts, settings, mail bodies and every file it
// writes. These conversions cover all 256 bytes. Byte 0x98 is unassigned in the code page; it decodes
// to U+FFFD and nothing encodes to it. Characters that the code page lacks encode as '?'.

inline constexpr char kUnmappable = '?';

// The Unicode code point of one Windows-1251 byte.
char16_t Cp1251ToUnicode(unsigned char byte);

// The Windows-1251 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1251(char32_t code_point);

std::u16string Cp1251ToUtf16(std::string_view text);
std::string Utf16ToCp1251(std::u16string_view text);

std::string Cp1251ToUtf8(std::string_view text);
// Malformed UTF-8 sequences encode as '?', one per byte that cannot start or continue a sequence.
std::string Utf8ToCp1251(std::string_view text);

}  // namespace tarnwell
