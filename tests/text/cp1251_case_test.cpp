#include "text/cp1251_case.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "text/cp1251.h"
#include "text/cp1251_literal.h"

namespace tarnwell {
namespace {

using namespace literals;

std::string Folded(std::string_view text) {
    std::string folded;
    for (char c : text) folded.push_back(static_cast<char>(FoldCp1251(static_cast<unsigned char>(c))));
    return folded;
}

// The rule told in Unicode terms, so that the byte arithmetic of the code page is checked against it for
// all 256 bytes: Basic Latin and Russian capitals to small letters, Ё and ё to е, the rest unchanged
// (Ukrainian and Belarusian letters, Latin-1 signs, digits, controls).
TEST(FoldCp1251, FoldsLatinAndRussianLettersAndNothingElse) {
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t u = Cp1251ToUnicode(static_cast<unsigned char>(byte));
        char32_t expected = u;
        if (u >= U'A' && u <= U'Z') expected = u + 0x20;
        if (u >= U'\u0410' && u <= U'\u042F') expected = u + 0x20;
        if (u == U'\u0401' || u == U'\u0451') expected = U'\u0435';
        const int expected_byte = byte == 0x98 ? 0x98 : UnicodeToCp1251(expected);
        EXPECT_EQ(FoldCp1251(static_cast<unsigned char>(byte)), expected_byte) << "byte " << byte;
    }
}

TEST(FoldCp1251, MakesTextsEqualThatDifferOnlyInCaseOrYo) {
    EXPECT_EQ(Folded("ЁЛКА Ёлка ёлка"_cp), Folded("елка ЕЛКА Елка"_cp));
    EXPECT_EQ(Folded("Иванов PETROV"_cp), Folded("иВАНОВ petrov"_cp));
    EXPECT_NE(Folded("Їжак"_cp), Folded("їжак"_cp));
}

}  // namespace
}  // namespace tarnwell
