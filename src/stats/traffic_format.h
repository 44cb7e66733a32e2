#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "stats/plain_decimal.h"

namespace tarnwell {

// The display settings of byte counts, read from the window's controls at the time of use.
struct TrafficDisplay {
    int mode = 0;              // index of RG1: 0 automatic, 1 kilobytes, 2 megabytes, 3 gigabytes, other: bytes
    int precision = 2;         // CSETochn: digits kept after the comma
    bool kilo_is_1024 = true;  // RGkb: index 0 is "1кб. = 1024 б.", any other index 1000
};

// RGkb's item index as the kilobyte base flag: the first item means 1024 bytes, any other 1000.
constexpr bool KiloIs1024(int rgkb_index) {
    return rgkb_index == 0;
}

// The display text of a byte count, such as "1,17 мб." (Windows-1251). The value is taken to single
// precision first and all arithmetic is single precision, so high precision settings show the digits of
// the single-precision result. The fraction is cut after `precision` digits without rounding; a
// precision below 1 keeps no fraction. The automatic mode never shows bytes, a mode other than 0 to 3
// shows the plain number without a unit. The value is 64-bit so that totals beyond 32 bits show their
// true size.
std::string convert(std::int64_t value, int mode, int precision, bool kilo_is_1024);

inline std::string convert(std::int64_t value, const TrafficDisplay& display) {
    return convert(value, display.mode, display.precision, display.kilo_is_1024);
}

// The same text, written into the buffer: for callers that write many texts without a string each.
std::string_view WriteConverted(std::int64_t value, const TrafficDisplay& display, PlainDecimalBuffer& buffer);

}  // namespace tarnwell
