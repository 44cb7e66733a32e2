#include "stats/traffic_format.h"

#include <algorithm>
#include <string_view>

#include "stats/plain_decimal.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

namespace {

struct Scale {
    int power = 0;  // the unit is base^power bytes; 0: no unit
    std::string_view suffix;
};

constexpr std::string_view kSuffixes[] = {""_cp, " кб."_cp, " мб."_cp, " гб."_cp, " тб."_cp};

Scale ChooseScale(float v, int mode, bool kilo_is_1024) {
    if (mode >= 1 && mode <= 3) return {mode, kSuffixes[mode]};
    if (mode != 0) return {};
    // Strict comparisons between single-precision numbers: exactly one megabyte still reads in kilobytes.
    // 1e12 is not a single-precision number; its nearest one, 999999995904, is the threshold.
    const float tera = kilo_is_1024 ? 1099511627776.0f : 1e12f;
    const float giga = kilo_is_1024 ? 1073741824.0f : 1e9f;
    const float mega = kilo_is_1024 ? 1048576.0f : 1e6f;
    if (v > tera) return {4, kSuffixes[4]};
    if (v > giga) return {3, kSuffixes[3]};
    if (v > mega) return {2, kSuffixes[2]};
    return {1, kSuffixes[1]};
}

float Scaled(float v, int power, bool kilo_is_1024) {
    if (kilo_is_1024) {
        // Powers of two: the product is exact up to the final rounding, which is none at all.
        float factor = 1.0f;
        for (int i = 0; i < power; ++i) factor /= 1024.0f;
        return v * factor;
    }
    // Powers of ten are not single-precision numbers: divide in double precision, where 10^3 to 10^12
    // are exact, and round the quotient to single precision once.
    double divisor = 1.0;
    for (int i = 0; i < power; ++i) divisor *= 1000.0;
    return static_cast<float>(static_cast<double>(v) / divisor);
}

}  // namespace

namespace {

std::string_view Converted(std::int64_t value, int mode, int precision, bool kilo_is_1024, PlainDecimalBuffer& buffer) {
    const auto v = static_cast<float>(value);  // rounds to nearest: 2147483647 becomes 2147483648
    Scale scale = ChooseScale(v, mode, kilo_is_1024);
    // The fraction cut after `precision` digits, without rounding and without padding.
    const std::string_view text =
        WritePlainDecimalCut(Scaled(v, scale.power, kilo_is_1024), std::max(precision, 0), buffer);
    // The unit goes right after the number in the same buffer, which has room for both.
    char* end = std::copy(scale.suffix.begin(), scale.suffix.end(), buffer.data() + text.size());
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

}  // namespace

std::string convert(std::int64_t value, int mode, int precision, bool kilo_is_1024) {
    PlainDecimalBuffer buffer;
    return std::string(Converted(value, mode, precision, kilo_is_1024, buffer));
}

std::string_view WriteConverted(std::int64_t value, const TrafficDisplay& display, PlainDecimalBuffer& buffer) {
    return Converted(value, display.mode, display.precision, display.kilo_is_1024, buffer);
}

}  // namespace tarnwell
