#include "stats/plain_decimal.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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

__extension__ typedef unsigned __int128 Uint128;

constexpr auto kPowersOf5 = [] {
    std::array<std::uint64_t, 28> powers{};
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 5;
    return powers;
}();

constexpr auto kPowersOf10 = [] {
    std::array<Uint128, 39> powers{};  // up to 10^38, below 2^128
    powers[0] = 1;
    for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
    return powers;
}();

// "00" to "99", for writing two digits at a time.
constexpr auto kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
        pairs[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
    }
    return pairs;
}();

// How many decimal digits n > 0 has: estimated from its bit length, corrected by one comparison.
int DecimalLength(Uint128 n) {
    const auto high = static_cast<std::uint64_t>(n >> 64);
    const int bits = high != 0 ? 128 - __builtin_clzll(high) : 64 - __builtin_clzll(static_cast<std::uint64_t>(n));
    const int guess = (bits * 1233) >> 12;  // bits * log10(2), never more than the true length
    return guess + (n >= kPowersOf10[static_cast<std::size_t>(guess)] ? 1 : 0);
}

// Writes the text from the first 15 significant digits, already rounded (trailing zeros are dropped
// here), and the power of ten of the first one. Returns the end of the text.
char* Layout(bool negative, std::string_view significant, int exponent, char* p) {
    while (significant.size() > 1 && significant.back() == '0') significant.remove_suffix(1);
    const auto length = static_cast<int>(significant.size());
    if (negative) *p++ = '-';
    if (exponent < 0) {
        // 0,000123
        *p++ = '0';
        *p++ = ',';
        p = std::fill_n(p, -exponent - 1, '0');
        return std::copy(significant.begin(), significant.end(), p);
    }
    if (length <= exponent + 1) {
        // 1200 (zeros beyond the significant digits)
        p = std::copy(significant.begin(), significant.end(), p);
        return std::fill_n(p, exponent + 1 - length, '0');
    }
    p = std::copy_n(significant.begin(), exponent + 1, p);
    *p++ = ',';
    return std::copy(significant.begin() + exponent + 1, significant.end(), p);
}

// As Layout, from the significant digits of |value| (all of them, or at least the 16 or more that decide
// the rounding) and the power of ten of the first one.
char* Compose(bool negative, std::string_view all_digits, int first_exponent, char* out) {
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
    return Layout(negative, std::string_view(digits, static_cast<std::size_t>(length)), exponent, out);
}

// Writes the `count` digits of n < 10^count, leading zeros included, with a comma after the first
// `integer_digits` of them when more follow. Returns the end.
char* DigitsWithComma(std::uint64_t n, int count, int integer_digits, char* out) {
    char digits[kSignificantDigits + 1];
    for (int i = count; i > 0; i -= 2) {
        const auto pair = static_cast<std::size_t>(n % 100);
        n /= 100;
        if (i >= 2) {
            std::memcpy(digits + i - 2, &kDigitPairs[2 * pair], 2);
        } else {
            digits[0] = kDigitPairs[2 * pair + 1];
        }
    }
    out = std::copy_n(digits, integer_digits, out);
    if (count == integer_digits) return out;
    *out++ = ',';
    return std::copy(digits + integer_digits, digits + count, out);
}

// The end of the text [begin, end) cut after max_fraction digits past the comma, the comma dropped when
// none is kept.
char* CutFraction(char* begin, char* end, int max_fraction) {
    char* comma = std::find(begin, end, ',');
    if (comma == end) return end;
    if (max_fraction == 0) return comma;
    return comma + 1 + std::min<std::ptrdiff_t>(max_fraction, end - comma - 1);
}

// The text Layout writes for the 15 digits of first15 with the first one's power of ten, cut after
// max_fraction digits past the comma, for a value from 1 to below 10^15. Only the digits shown are
// written: the rest decide nothing but whether the shown fraction ends in zeros that go.
char* LayoutCut(bool negative, std::uint64_t first15, int exponent, int max_fraction, char* out) {
    const int integer_digits = exponent + 1;
    const int fraction_room = kSignificantDigits - integer_digits;
    int keep = std::min(max_fraction, fraction_room);
    const std::uint64_t unit = static_cast<std::uint64_t>(kPowersOf10[static_cast<std::size_t>(fraction_room - keep)]);
    std::uint64_t shown = first15 / unit;
    // Zeros at the end of the fraction go only when nothing but zeros follows them.
    if (first15 % unit == 0) {
        while (keep > 0 && shown % 10 == 0) {
            shown /= 10;
            --keep;
        }
    }
    if (negative) *out++ = '-';
    return DigitsWithComma(shown, integer_digits + keep, integer_digits, out);
}

// As Compose, for a value n * 10^-fraction_digits with n > 0, rounded as Compose rounds the digits of n
// (the first 16 digits by one division, the 16th decides), and cut after max_fraction digits past the
// comma.
char* ComposeInteger(bool negative, Uint128 n, int fraction_digits, int max_fraction, char* out) {
    const int length = DecimalLength(n);
    int exponent = length - 1 - fraction_digits;
    constexpr int kDecided = kSignificantDigits + 1;
    std::uint64_t first16 = 0;
    if (length <= kDecided) {
        first16 = static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(kPowersOf10[kDecided - length]);
    } else if (const auto divisor = kPowersOf10[static_cast<std::size_t>(length - kDecided)];
               n <= UINT64_MAX) {
        first16 = static_cast<std::uint64_t>(n) / static_cast<std::uint64_t>(divisor);
    } else {
        first16 = static_cast<std::uint64_t>(n / divisor);
    }
    std::uint64_t first15 = first16 / 10 + (first16 % 10 >= 5 ? 1 : 0);  // halves away from zero
    if (first15 == kPowersOf10[kSignificantDigits]) {
        // 999...9 becomes 1000...0, one power of ten higher.
        first15 /= 10;
        ++exponent;
    }
    if (exponent >= 0 && exponent < kSignificantDigits) return LayoutCut(negative, first15, exponent, max_fraction, out);
    char digits[kSignificantDigits];
    DigitsWithComma(first15, kSignificantDigits, kSignificantDigits, digits);
    return CutFraction(out, Layout(negative, std::string_view(digits, kSignificantDigits), exponent, out), max_fraction);
}

// The text of a value that is a single-precision number, by integer arithmetic, many times faster than
// printing 25 digits: v = M * 2^E with M < 2^24 is M * 5^-E / 10^-E, and M * 5^-E fits into 128 bits for
// -E up to 44. nullptr for values beyond that (tiny ones, or 2^63 and above), which take the general way.
char* FormatSingle(double value, int max_fraction, char* out) {
    const auto single = static_cast<float>(value);
    if (static_cast<double>(single) != value) return nullptr;
    const auto bits = std::bit_cast<std::uint32_t>(single);
    const int biased = static_cast<int>((bits >> 23) & 0xFF);
    if (biased == 0) return nullptr;  // subnormal: far below what the fast way covers
    std::uint32_t mantissa = (bits & 0x7FFFFF) | 0x800000;
    int e = biased - 127 - 23;
    if (e < 0) {
        // Drop the mantissa's trailing zero bits: fewer fraction digits to compute.
        const int zeros = std::min(std::countr_zero(mantissa), -e);
        mantissa >>= zeros;
        e += zeros;
    }
    Uint128 n = mantissa;
    int fraction_digits = 0;
    if (e >= 0) {
        if (e > 39) return nullptr;
        n <<= e;
    } else {
        if (e < -44) return nullptr;
        fraction_digits = -e;
        n *= kPowersOf5[static_cast<std::size_t>(std::min(fraction_digits, 27))];
        if (fraction_digits > 27) n *= kPowersOf5[static_cast<std::size_t>(fraction_digits - 27)];
    }
    return ComposeInteger(value < 0, n, fraction_digits, max_fraction, out);
}

// Any other value: 25 digits, correctly rounded, decide the rounding at 15 unless the digits after the 15th
// read exactly 5000...: then the value may lie on the half or just either side of it, and the exact
// expansion decides (a double has at most 767 significant digits).
char* ComposeGeneral(double value, char* out) {
    Digits probe(value, 24);
    std::string_view rest = probe.digits().substr(kSignificantDigits);
    if (rest.front() == '5' && rest.find_first_not_of('0', 1) == std::string_view::npos) {
        Digits exact(value, 766);
        return Compose(value < 0, exact.digits(), exact.exponent(), out);
    }
    return Compose(value < 0, probe.digits(), probe.exponent(), out);
}

std::string_view Copy(std::string_view text, char* out) {
    return {out, static_cast<std::size_t>(std::copy(text.begin(), text.end(), out) - out)};
}

}  // namespace

std::string_view WritePlainDecimal(double value, PlainDecimalBuffer& buffer) {
    return WritePlainDecimalCut(value, -1, buffer);
}

std::string_view WritePlainDecimalCut(double value, int max_fraction_digits, PlainDecimalBuffer& buffer) {
    char* out = buffer.data();
    if (std::isnan(value)) return Copy("NAN", out);
    if (std::isinf(value)) return Copy(value < 0 ? "-INF" : "INF", out);
    if (value == 0) return Copy("0", out);
    // No text has as many fraction digits as this: a cut there cuts nothing.
    const int max_fraction =
        max_fraction_digits < 0 ? static_cast<int>(std::tuple_size_v<PlainDecimalBuffer>) : max_fraction_digits;
    // Single-precision values, which are what the program formats, give their exact digits cheaply, and
    // most of them only the digits that the cut leaves.
    char* end = FormatSingle(value, max_fraction, out);
    if (end == nullptr) end = CutFraction(out, ComposeGeneral(value, out), max_fraction);
    return {out, static_cast<std::size_t>(end - out)};
}

std::string FormatPlainDecimal(double value) {
    PlainDecimalBuffer buffer;
    return std::string(WritePlainDecimal(value, buffer));
}

}  // namespace tarnwell
