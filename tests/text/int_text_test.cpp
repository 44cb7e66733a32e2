#include "text/int_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "text/error.h"
#include "text/message.h"

namespace tarnwell {
namespace {

TEST(StrToInt, AcceptsSignedDecimalWithin32Bits) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0},           {"42", 42},   {"-42", -42},   {"+7", 7},
        {"2147483647", INT32_MAX},        {"-2147483648", INT32_MIN},
        {"000123", 123},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RefusesEverythingElseWithTheProgramsMessage) {
    const char* bad[] = {"", "-", "+", " 1", "1 ", "1,5", "0x10", "$10", "abc", "2147483648", "-2147483649",
                         "99999999999999999999", "1e3"};
    for (const char* text : bad) {
        EXPECT_FALSE(TryStrToInt(text).has_value()) << text;
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(ProfileStrToInt, ReadsDecimalOrHexAndFallsBackToTheDefault) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"1", 1},           {"-5", -5},       {"0x10", 16},   {"0X1f", 31},        {"0xFFFFFFFF", -1},
        {"", 77},           {"yes", 77},      {"0x", 77},     {"0xG1", 77},        {"0x123456789", 77},
        {"12abc", 77},      {"2147483648", 77}, {"25", 25},
    };
    for (const auto& c : cases) EXPECT_EQ(ProfileStrToInt(c.text, 77), c.value) << c.text;
}

TEST(FormatMsg, FillsPlaceholdersInTurn) {
    EXPECT_EQ(FormatMsg("Failed to get data for '%s'", {"TimeOnLine"}), "Failed to get data for 'TimeOnLine'");
    EXPECT_EQ(FormatMsg("%s:%s 100%%", {"1", "2"}), "1:2 100%");
    EXPECT_EQ(FormatMsg("a %s b %s", {"x"}), "a x b %s");
}

// The text written into a buffer and its length told without writing it agree with IntToStr, at every
// change of length and at both ends of the range.
TEST(IntText, BufferAndLengthAgreeWithIntToStr) {
    std::vector<std::int64_t> values = {0, INT64_MIN, INT64_MAX, INT64_MIN + 1};
    for (std::int64_t power = 1; power <= INT64_MAX / 10; power *= 10) {
        for (std::int64_t v : {power - 1, power, power + 1}) {
            values.push_back(v);
            values.push_back(-v);
        }
    }
    for (const std::int64_t value : values) {
        IntTextBuffer buffer;
        EXPECT_EQ(WriteIntText(value, buffer), IntToStr(value));
        EXPECT_EQ(IntTextLength(value), IntToStr(value).size()) << value;
    }
}

}  // namespace
}  // namespace tarnwell
