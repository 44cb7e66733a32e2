#pragma once

#include <cstdint>
#include <string_view>

namespace tarnwell {

// A number cell of the statistics table: strict signed decimal (an optional sign, then digits, nothing
// else) within 64 bits, since balances and limits in bytes exceed 32 bits. Anything else raises
// EConvertError "'<text>' is not a valid integer value".
std::int64_t CellToInt64(std::string_view text);

}  // namespace tarnwell
