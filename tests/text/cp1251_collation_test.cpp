#include "text/cp1251_collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text/cp1251.h"
#include "text/cp1251_case.h"

namespace tarnwell {
namespace {

// The code page's own table is the reference: a byte folds to the small letter of its character, Ё and
// ё to е, anything else to itself.
TEST(FoldCp1251, EveryByteOfTheCodePage) {
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t unicode = Cp1251ToUnicode(static_cast<unsigned char>(byte));
        int expected = byte;
        if (unicode >= u'A' && unicode <= u'Z') expected = UnicodeToCp1251(unicode + 0x20);
        if (unicode >= u'А' && unicode <= u'Я') expected = UnicodeToCp1251(unicode + 0x20);
        if (unicode == u'Ё' || unicode == u'ё') expected = UnicodeToCp1251(u'е');
        EXPECT_EQ(FoldCp1251(static_cast<unsigned char>(byte)), expected) << "byte " << byte;
    }
}

int Collate(const char* a, const char* b) {
    return CollateCp1251(Utf8ToCp1251(a), Utf8ToCp1251(b));
}

// Each pair in the order the collation gives it.
TEST(CollateCp1251, PairsInOrder) {
    const struct {
        const char* first;
        const char* second;
    } cases[] = {
        {"абв", "абг"},           // the alphabet
        {"еж", "ёж"},             // Ё beside Е: after it where the texts are otherwise the same
        {"ёж", "ез"},             // ... and before the letter that follows Е
        {"Ежов", "ёлка"},         // case ignored, Ё and Е alike
        {"ЯКОВЛЕВ", "яковлева"},  // a text before a longer one that begins with it, case aside
        {"Яковлев", "яковлев"},   // only the case differs: capital first
        {"Ёлка", "ёлка"},         //
        {"z", "а"},               // Latin before Cyrillic
        {"apple", "Zebra"},       // ... case ignored among Latin letters too
        {"ivanov", "Petrov"},     //
        {"1", "a"},               // digits before letters
        {"", "a"},                // the empty text first
        {"Щука", "Эхо"},          // letters late in the alphabet, beyond the byte of ё
        {"Юг", "яма"},            //
        {"жук", "ЗОНТ"},          //
    };
    for (const auto& c : cases) {
        EXPECT_LT(Collate(c.first, c.second), 0) << c.first << " / " << c.second;
        EXPECT_GT(Collate(c.second, c.first), 0) << c.second << " / " << c.first;
    }
    EXPECT_EQ(Collate("Сумма", "Сумма"), 0);
}

// The whole alphabet, shuffled and in both cases, sorts into the order every Russian reader knows.
TEST(CollateCp1251, AlphabetSortsInItsOrder) {
    // Every other letter a capital.
    const std::string alphabet = Utf8ToCp1251("аБвГдЕёЖзИйКлМнОпРсТуФхЦчШщЪыЬэЮя");
    std::vector<std::string> letters;
    for (char c : alphabet) letters.emplace_back(1, c);
    std::vector<std::string> shuffled = letters;
    std::reverse(shuffled.begin(), shuffled.end());
    std::rotate(shuffled.begin(), shuffled.begin() + 11, shuffled.end());
    std::sort(shuffled.begin(), shuffled.end(),
              [](const std::string& a, const std::string& b) { return CollateCp1251(a, b) < 0; });
    EXPECT_EQ(shuffled, letters);
}

}  // namespace
}  // namespace tarnwell
