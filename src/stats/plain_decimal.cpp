#include "stats/plain_decimal.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
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

// The exact digits of a value that is a single-precision number, by integer arithmetic, several times
// faster than printing 25 digits: v = M * 2^E with M < 2^24 is M * 5^-E / 10^-E, and M * 5^-E fits into
// 128 bits for -E up to 44. False for values beyond that (tiny ones, or 2^63 and above), which take the
// general way.
__extension__ typedef unsigned __int128 Uint128;

constexpr auto kPowersOf5 = [] {
    std::array<std::uint64_t, 28> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 5;
    return powers;
}();

// Writes the decimal digits of n backwards from `end`; `pad` writes exactly 19, leading zeros included.
char* DigitsBackwards(std::uint64_t n, char* end, bool pad) {
    int written = 0;
    do {
        *--end = static_cast<char>('0' + n % 10);
        n /= 10;
        ++written;
    } while (pad ? written < 19 : n != 0);
    return end;
}

bool ExactSingleDigits(double value, char (&out)[64], int& length, int& exponent) {
    const auto single = static_cast<float>(value);
    if (static_cast<double>(single) != value) return false;
    const auto bits = std::bit_cast<std::uint32_t>(single);
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    if (biased == 0) return false;  // subnormal: far below what the fast way covers
    std::uint32_t mantissa = (bits & 0x7FFFFF) | 0x800000;
    int e = biased - 127 - 23;
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
        fraction_digits = -e;
        n *= kPowersOf5[static_cast<std::size_t>(std::min(fraction_digits, 27))];
        if (fraction_digits > 27) n *= kPowersOf5[static_cast<std::size_t>(fraction_digits - 27)];
    }
    char* end = out + sizeof out;
    char* p = end;
    constexpr std::uint64_t kChunk = 10000000000000000000u;  // 10^19
    while (n > UINT64_MAX) {
        p = DigitsBackwards(static_cast<std::uint64_t>(n % kChunk), p, true);
        n /= kChunk;
    }
    p = DigitsBackwards(static_cast<std::uint64_t>(n), p, false);
    length = static_cast<int>(end - p);
    std::copy(p, end, out);
    exponent = length - 1 - fraction_digits;
    return true;
}

// The text from the significant digits of |value| (all of them, or at least the 16 or more that decide the
// rounding) and the power of ten of the first one.
std::string Compose(bool negative, std::string_view all_digits, int first_exponent) {
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
    if (negative) out += '-';
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

// Any other value: 25 digits, correctly rounded, decide the rounding at 15 unless the digits after the 15th
// read exactly 5000...: then the value may lie on the half or just either side of it, and the exact
// expansion decides (a double has at most 767 significant digits).
std::string ComposeGeneral(double value) {
    Digits probe(value, 24);
    std::string_view rest = probe.digits().substr(kSignificantDigits);
    if (rest.front() == '5' && rest.find_first_not_of('0', 1) == std::string_view::npos) {
        Digits exact(value, 766);
        return Compose(value < 0, exact.digits(), exact.exponent());
    }
    return Compose(value < 0, probe.digits(), probe.exponent());
}

}  // namespace

std::string FormatPlainDecimal(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    // Single-precision values, which are what the program formats, give their exact digits cheaply.
    char digits[64];
    int length = 0;
    int exponent = 0;
    if (ExactSingleDigits(value, digits, length, exponent)) {
        return Compose(value < 0, std::string_view(digits, static_cast<std::size_t>(length)), exponent);
    }
    return ComposeGeneral(value);
}

}  // namespace tarnwell
