#include "stats/plain_decimal.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace tarnwell {

namespace {

constexpr int kSignificantDigits = 15;

// The exact decimal digits of |value| (no leading zeros) and the power of ten of the first one. A double
// has at most 767 significant decimal digits, so this precision is exact for every value.
struct ExactDigits {
    std::string digits;
    int exponent = 0;
};

ExactDigits ExactDecimal(double value) {
    std::array<char, 800> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                   std::chars_format::scientific, 770);
    ExactDigits out;
    if (ec != std::errc()) return out;  // cannot happen with this buffer
    std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') out.digits.push_back(text[i]);
    }
    out.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
    return out;
}

}  // namespace

std::string FormatPlainDecimal(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    ExactDigits exact = ExactDecimal(value);
    std::string digits = exact.digits.substr(0, kSignificantDigits);
    int exponent = exact.exponent;
    if (exact.digits.size() > kSignificantDigits && exact.digits[kSignificantDigits] >= '5') {
        // Round up, carrying; 999...9 becomes 1 with the exponent one higher.
        int i = kSignificantDigits - 1;
        while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    if (exponent < 0) {
        // 0,000123
        out += "0,";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
        return out;
    }
    auto integer_digits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integer_digits) {
        // 1200 (zeros beyond the significant digits)
        out += digits;
        out.append(integer_digits - digits.size(), '0');
        return out;
    }
    out += digits.substr(0, integer_digits);
    out += ',';
    out += digits.substr(integer_digits);
    return out;
}

}  // namespace tarnwell
