#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

// Strict signed 32-bit decimal: an optional sign, then one or more digits, nothing else (no blanks).
// Used for edited cells and port numbers. std::nullopt for any other text or a value out of range.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt, but a bad text raises EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// The profile-file flavour: signed decimal, or hexadecimal after "0x" / "0X" (up to 8 digits, taken as
// the 32 bits of the value, so 0xFFFFFFFF is -1). Anything else, the empty text included, gives def.
std::int32_t ProfileStrToInt(std::string_view text, std::int32_t def);

// Signed decimal text of a number.
std::string IntToStr(std::int64_t value);

// Room for the text of any 64-bit number, sign included.
using IntTextBuffer = std::array<char, 20>;
// The same text, written into the buffer: for callers that format many numbers without a string each.
std::string_view WriteIntText(std::int64_t value, IntTextBuffer& buffer);

// The length of that text, without writing it.
std::size_t IntTextLength(std::int64_t value);

}  // namespace tarnwell
