#include "text/cp1251.h"

#include <gtest/gtest.h>

#include <string>

#include "support/host_python.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
    return bytes;
}

// Python's own cp1251 codec is the reference for the whole code page.
TEST(Cp1251, WholeCodePageMatchesPythonCodec) {
    if (testing_support::HostPython().empty()) GTEST_SKIP() << "no Debian Python here";
    testing_support::ProcessResult python = testing_support::RunHostPython(
        {"-c", "import sys; sys.stdout.buffer.write(bytes(range(256)).decode('cp1251', 'replace').encode('utf-8'))"});
    EXPECT_EQ(Cp1251ToUtf8(AllBytes()), python.out) << python.err;
}

TEST(Cp1251, RoundTripsEveryAssignedByte) {
    std::string bytes = AllBytes();
    bytes.erase(0x98, 1);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(bytes)), bytes);
    EXPECT_EQ(Utf16ToCp1251(Cp1251ToUtf16(bytes)), bytes);
}

TEST(Cp1251, UnassignedByteDecodesToReplacementAndIsNeverProduced) {
    EXPECT_EQ(Cp1251ToUnicode(0x98), u'\uFFFD');
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToCp1251("\xEF\xBF\xBD"), "?");
    EXPECT_EQ(Utf16ToCp1251(u"\uFFFD"), "?");
}

TEST(Cp1251, CharactersOutsideTheCodePageAndBadUtf8BecomeQuestionMarks) {
    struct Case {
        const char* utf8;
        const char* cp1251;
    } cases[] = {
        {"\xE4\xB8\xAD", "?"},             // a CJK character
        {"\xF0\x9F\x98\x80", "?"},         // an emoji (4 bytes)
        {"a\x80z", "a?z"},                 // stray continuation byte
        {"\xC3", "?"},                     // cut sequence at the end
        {"\xC0\xAF", "??"},                // overlong form of '/'
        {"\xED\xA0\x80", "???"},           // an encoded surrogate
        {"\xD0\x81\xD1\x91", "\xA8\xB8"},  // Ё ё
        {"\xE2\x84\x96", "\xB9"},          // №
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251) << c.utf8;
    EXPECT_EQ(Utf16ToCp1251(u"\U0001F600x"), "?x");
}

TEST(Cp1251, CompileTimeLiteralGivesCodePageBytes) {
    constexpr std::string_view text = "Сумма №1"_cp;
    static_assert(text.size() == 8);
    EXPECT_EQ(text, "\xD1\xF3\xEC\xEC\xE0 \xB9\x31");
    EXPECT_EQ(text.data()[text.size()], '\0');
    EXPECT_EQ(Cp1251ToUtf8("Ёж"_cp), "Ёж");
    EXPECT_EQ(""_cp, "");
}

}  // namespace
}  // namespace tarnwell
