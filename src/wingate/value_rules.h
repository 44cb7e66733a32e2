#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "wingate/user_database.h"

// Rules that both stores share, so that the registry and the export file answer every read alike.
namespace tarnwell::value_rules {

// Registry value types.
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kString = 1;        // REG_SZ
inline constexpr std::uint32_t kExpandString = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t kBinary = 3;        // REG_BINARY
inline constexpr std::uint32_t kDword = 4;         // REG_DWORD
inline constexpr std::uint32_t kMultiString = 7;   // REG_MULTI_SZ

inline bool IsText(std::uint32_t type) {
    return type == kString || type == kExpandString;
}
inline bool IsStringType(std::uint32_t type) {
    return IsText(type) || type == kMultiString;
}

EUserDatabaseError GetDataError(std::string_view name);      // "Failed to get data for '%s'"
EUserDatabaseError InvalidTypeError(std::string_view name);  // "Invalid data type for '%s'"
EUserDatabaseError SetDataError(std::string_view name);      // "Failed to set data for '%s'"

// Reading a 32-bit number fetches the value into a 4-byte buffer, as the 8-bit registry calls would: a
// value whose 8-bit form (strings: one byte a character, with the closing zero) is longer than 4 bytes
// cannot be got at all; one that fits but is not a REG_DWORD of exactly 4 bytes has the wrong type.
// Throws the matching error; returns normally when the value is a proper number.
void CheckNumberRead(std::string_view name, std::uint32_t type, std::size_t ansi_size);

}  // namespace tarnwell::value_rules
