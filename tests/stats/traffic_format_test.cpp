#include "stats/traffic_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>
#include <string>

#include "stats/plain_decimal.h"
#include "text/cp1251.h"

namespace tarnwell {
namespace {

struct ConvertCase {
    std::int64_t value;
    int mode;
    bool kilo_is_1024;
    int precision;
    const char* text;  // UTF-8
};

std::string Utf8(const std::string& cp1251) {
    return Cp1251ToUtf8(cp1251);
}

TEST(Convert, TableOfCases) {
    const ConvertCase cases[] = {
        {0, 0, true, 2, "0 кб."},
        {1000, 0, true, 2, "0,97 кб."},
        {1024, 0, true, 2, "1 кб."},
        {1536, 0, true, 2, "1,5 кб."},
        {1048576, 0, true, 2, "1024 кб."},
        {1048577, 0, true, 2, "1,00 мб."},
        {1234567, 2, true, 2, "1,17 мб."},
        {1234567, 2, true, 20, "1,17737483978271 мб."},
        {1500000, 0, true, 2, "1,43 мб."},
        {1500000, 0, false, 2, "1,5 мб."},
        {1000, 0, false, 2, "1 кб."},
        {123456789, 0, false, 2, "123,45 мб."},
        {123456789, 0, false, 20, "123,45679473877 мб."},
        {2147483647, 0, true, 2, "2 гб."},
        {100, 3, true, 2, "0,00 гб."},
        {5000, 2, true, 3, "0,004 мб."},
        {-5, 0, true, 2, "-0,00 кб."},
        {123456789, -1, true, 2, "123456792"},
        // Totals of the summing step.
        {2097153, 0, true, 2, "2,00 мб."},
        {2000000, 0, true, 2, "1,90 мб."},
        // Thresholds are strict, in single precision; the units above the megabyte.
        {1073741824, 0, true, 2, "1024 мб."},
        {1073741825, 0, true, 2, "1024 мб."},  // rounds to 2^30 in single precision
        {1073741952, 0, true, 2, "1,00 гб."},
        {1000000, 0, false, 2, "1000 кб."},
        {1000000001, 0, false, 2, "1000 мб."},  // 1000000000 as a single, which is not above 10^9
        {1000000064, 0, false, 2, "1,00 гб."},
        {1099511627776, 0, true, 2, "1024 гб."},
        {1099511627776 + (1LL << 17), 0, true, 2, "1,00 тб."},
        {1000000000000, 0, false, 2, "1000 гб."},  // 10^12 is 999999995904 as a single: not above itself
        {1000000100000, 0, false, 2, "1,00 тб."},
        // Totals beyond 32 bits keep their size.
        {5000000000, 0, true, 2, "4,65 гб."},
        {5000000000, 4, true, 2, "5000000000"},
        {1048576, 1, true, 2, "1024 кб."},
        {1536, 1, false, 1, "1,5 кб."},
        {-1048577, 0, true, 2, "-1024,00 кб."},  // negative values never leave the kilobyte
        {1, 3, false, 20, "0,00000000099999997171 гб."},
        {100, 3, true, 20, "0,00000009313225746154 гб."},
        {1, 3, true, 20, "0,00000000093132257461 гб."},
    };
    for (const ConvertCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " mode " + std::to_string(c.mode) +
                     (c.kilo_is_1024 ? " 1024" : " 1000") + " precision " + std::to_string(c.precision));
        EXPECT_EQ(Utf8(convert(c.value, c.mode, c.precision, c.kilo_is_1024)), c.text);
    }
}

TEST(Convert, PrecisionBelowOneKeepsNoComma) {
    EXPECT_EQ(Utf8(convert(1536, 1, 0, true)), "1 кб.");
    EXPECT_EQ(Utf8(convert(1536, 1, -3, true)), "1 кб.");
}

TEST(PlainDecimal, RoundsToFifteenSignificantDigitsWithoutExponent) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0"},
        {1.5, "1,5"},
        {-2.25, "-2,25"},
        {1e20, "100000000000000000000"},
        {9.3132257461547852e-10, "0,000000000931322574615479"},
        {0.9999999999999999, "1"},  // the carry reaches the first digit
        {123.45678901234567, "123,456789012346"},
        {1.00000000000005, "1,00000000000005"},
        {0.1, "0,1"},
        // Single-precision values beyond the fast exact way.
        {static_cast<double>(1e20f), "100000002004088000000"},
        {static_cast<double>(1e-30f), "0,00000000000000000000000000000100000000317108"},
        // Exactly on the half of the 15th digit: away from zero; a quarter either side decides at once.
        {1234567890123445.0, "1234567890123450"},
        {-1234567890123445.0, "-1234567890123450"},
        {1234567890123444.75, "1234567890123440"},
        {1234567890123445.25, "1234567890123450"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatPlainDecimal(c.value), c.text) << c.value;
}

// The text by the definition, from the value's exact decimal expansion (a double has at most 767
// significant digits): the first 15 digits, the 16th rounding half away from zero, no exponent.
std::string PlainDecimalByDefinition(double value) {
    char text[1024] = {};
    auto [end, ec] = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 766);
    EXPECT_EQ(ec, std::errc());
    *end = '\0';
    std::string all;
    const char* p = text;
    for (; *p != 'e'; ++p) {
        if (*p != '.') all += *p;
    }
    int exponent = std::atoi(p + 1);
    std::string digits = all.substr(0, 15);
    if (all[15] >= '5') {
        int i = 14;
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
    if (exponent < 0) return out + "0," + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const auto integer_digits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integer_digits) return out + digits + std::string(integer_digits - digits.size(), '0');
    return out + digits.substr(0, integer_digits) + "," + digits.substr(integer_digits);
}

// Single-precision values take a fast integer way; it must give the texts of the definition across the
// whole range the program formats (fractions of a kilobyte to terabytes and beyond), the 16th digit a
// 4, a 5 or a 9 included.
TEST(PlainDecimal, SinglePrecisionValuesAsByDefinition) {
    std::mt19937 random(20261211);
    std::uniform_int_distribution<std::uint32_t> mantissa(0, 0x7FFFFF);
    std::uniform_int_distribution<int> exponent(127 - 60, 127 + 62);
    for (int i = 0; i < 200000; ++i) {
        const std::uint32_t bits =
            (static_cast<std::uint32_t>(exponent(random)) << 23) | mantissa(random) | (i % 2 == 0 ? 0 : 0x80000000u);
        float single = 0;
        std::memcpy(&single, &bits, sizeof single);
        const auto value = static_cast<double>(single);
        ASSERT_EQ(FormatPlainDecimal(value), PlainDecimalByDefinition(value)) << bits;
    }
    for (const float single : {1.0f, 0.5f, 1024.0001220703125f, 16777215.0f, 16777216.0f, 9.99999999e14f,
                               999999995904.0f, 3.0e-10f, 4294967296.0f, 9223372036854775808.0f}) {
        EXPECT_EQ(FormatPlainDecimal(single), PlainDecimalByDefinition(single)) << single;
    }
}

// The text cut after `digits` digits past the comma, as a table shows it at that precision.
std::string CutByDefinition(std::string text, int digits) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return text;
    if (digits == 0) return text.substr(0, comma);
    return text.substr(0, std::min(text.size(), comma + 1 + static_cast<std::size_t>(digits)));
}

// The cut text is written from the digits it keeps, without the full text: it must be the full text cut,
// also where zeros end the kept digits (2,0001 at 2 digits is 2,00, but 2,5 stays 2,5) and where the
// rounding to 15 digits carries into them.
TEST(PlainDecimal, CutTextIsTheFullTextCut) {
    std::mt19937 random(20261212);
    std::uniform_int_distribution<std::uint32_t> mantissa(0, 0x7FFFFF);
    std::uniform_int_distribution<int> exponent(127 - 30, 127 + 62);
    std::vector<double> values = {2.0001, 2.5, 1024, 1, 0.5, 1e14, 999999999999999.0, 123456789012345.6,
                                  9.99999999999999999, 1.0000000000000002, 0.000123, 3.0e-10, 1e20};
    for (int i = 0; i < 100000; ++i) {
        const std::uint32_t bits =
            (static_cast<std::uint32_t>(exponent(random)) << 23) | mantissa(random) | (i % 3 == 0 ? 0x80000000u : 0);
        float single = 0;
        std::memcpy(&single, &bits, sizeof single);
        values.push_back(single);
    }
    for (const double value : values) {
        const std::string full = FormatPlainDecimal(value);
        for (int digits = 0; digits <= 17; ++digits) {
            PlainDecimalBuffer buffer;
            ASSERT_EQ(std::string(WritePlainDecimalCut(value, digits, buffer)), CutByDefinition(full, digits))
                << full << " at " << digits;
        }
    }
}

}  // namespace
}  // namespace tarnwell
