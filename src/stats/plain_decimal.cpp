#include "stats/plain_decimal.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <system_error>

namespace tarnwell {

namespace {

constexpr int kSignificantDigits = 15;

// Decimal digits of |value| in scientific form: the significant digits (no leading zero, no point) and the
// power of ten of the first one. The buffer is large enough for the exact expansion of any double.
class Digits {
public:
    Digits(double value, int precision) {
        char text[800];
        auto [end, ec] =
            std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, precision);
        if (ec != std::errc()) return;  // cannot happen with this buffer
        const char* p = text;
        for (; p != end && *p != 'e'; ++p) {
            if (*p != '.') digits_[count_++] = *p;
        }
        if (p == end) return;
        ++p;  // 'e'
        bool negative = *p == '-';
        int exponent = 0;
        std::from_chars(p + 1, end, exponent);  // after the sign, which to_chars always writes
        exponent_ = negative ? -exponent : exponent;
    }
    std::string_view digits() const { return {digits_, static_cast<std::size_t>(count_)}; }
    int exponent() const { return exponent_; }

private:
    char digits_[800];
    int count_ = 0;
    int exponent_ = 0;
};

// The exact digits of a value that is a single-precision number, by integer arithmetic, which is several
// times faster than printing 25 digits: v = M * 2^E with M < 2^24 is M * 5^-E / 10^-E, and M * 5^-E fits
// into 128 bits for -E up to 44. False for values beyond that (tiny ones, or above 2^63), which take the
// general way.
__extension__ typedef unsigned __int128 Uint128;

bool ExactSingleDigits(double value, char (&out)[64], int& length, int& exponent) {
    const auto single = static_cast<float>(value);
    if (static_cast<double>(single) != value) return false;
    int binary_exponent = 0;
    float fraction = std::frexp(std::fabs(single), &binary_exponent);  // [0.5, 1) * 2^binary_exponent
    auto mantissa = static_cast<std::uint32_t>(std::ldexp(fraction, 24));
    int e = binary_exponent - 24;
    while (e < 0 && (mantissa & 1u) == 0) {
        mantissa >>= 1;
        ++e;
    }
    Uint128 n = mantissa;
    int fraction_digits = 0;
    if (e >= 0) {
        if (e > 39) return false;
        n <<= e;
    } else {
        if (e < -44) return false;
        for (int i = 0; i < -e; ++i) n *= 5;
        fraction_digits = -e;
    }
    // Digits from the right, 19 at a time, so that only two 128-bit divisions are needed.
    constexpr std::uint64_t kChunk = 10000000000000000000u;  // 10^19
    char reversed[64];
    int count = 0;
    while (n != 0) {
        auto chunk = static_cast<std::uint64_t>(n % kChunk);
        n /= kChunk;
        for (int i = 0; i < 19 && (chunk != 0 || n != 0); ++i) {
            reversed[count++] = static_cast<char>('0' + chunk % 10);
            chunk /= 10;
        }
    }
    for (int i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
    length = count;
    exponent = count - 1 - fraction_digits;
    return true;
}

}  // namespace

std::string FormatPlainDecimal(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // The rounding at 15 digits needs the digits after the 15th. Single-precision values, which are what
    // the program formats, give their exact digits cheaply. Otherwise 25 digits, correctly rounded, decide
    // it, unless the digits after the 15th read exactly 5000...: then the value may lie on the half or just
    // either side of it, and the exact expansion decides (a double has at most 767 significant digits).
    char single_digits[64];
    int single_length = 0;
    int single_exponent = 0;
    std::optional<Digits> general;
    std::string_view all_digits;
    int first_exponent = 0;
    if (ExactSingleDigits(value, single_digits, single_length, single_exponent)) {
        all_digits = std::string_view(single_digits, static_cast<std::size_t>(single_length));
        first_exponent = single_exponent;
    } else {
        general.emplace(value, 24);
        std::string_view rest = general->digits().substr(kSignificantDigits);
        if (rest.front() == '5' && rest.find_first_not_of('0', 1) == std::string_view::npos) {
            general.emplace(value, 766);
        }
        all_digits = general->digits();
        first_exponent = general->exponent();
    }
    // Halves away from zero.
    const bool round_up = all_digits.size() > kSignificantDigits && all_digits[kSignificantDigits] >= '5';

    char digits[kSignificantDigits];
    int length = static_cast<int>(all_digits.copy(digits, kSignificantDigits));
    int exponent = first_exponent;
    if (round_up) {
        int i = length - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i < 0) {
            // 999...9 becomes 1000...0, one power of ten higher.
            digits[0] = '1';
            ++exponent;
        } else {
            ++digits[i];
        }
    }
    while (length > 1 && digits[length - 1] == '0') --length;
    std::string_view significant(digits, static_cast<std::size_t>(length));

    std::string out;
    out.reserve(static_cast<std::size_t>(length + (exponent < 0 ? -exponent : exponent)) + 3);
    if (value < 0) out += '-';
    if (exponent < 0) {
        // 0,000123
        out += "0,";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += significant;
        return out;
    }
    auto integer_digits = static_cast<std::size_t>(exponent) + 1;
    if (significant.size() <= integer_digits) {
        // 1200 (zeros beyond the significant digits)
        out += significant;
        out.append(integer_digits - significant.size(), '0');
        return out;
    }
    out += significant.substr(0, integer_digits);
    out += ',';
    out += significant.substr(integer_digits);
    return out;
}

}  // namespace tarnwell
