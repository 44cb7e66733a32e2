#include "text/cp1251_collation.h"

#include <algorithm>

#include "text/cp1251_case.h"

namespace tarnwell {

namespace {

bool IsYo(unsigned char c) {
    return c == 0xA8 || c == 0xB8;  // Ё, ё
}

// Compares the bytes of both texts through `key`, then the lengths.
template <typename Key>
int CompareBy(std::string_view a, std::string_view b, Key key) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int left = key(static_cast<unsigned char>(a[i]));
        const int right = key(static_cast<unsigned char>(b[i]));
        if (left != right) return left < right ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CollateCp1251(std::string_view a, std::string_view b) {
    // Folded, the Cyrillic small letters а to я stand at 0xE0 to 0xFF in the order of the alphabet, above
    // the Latin ones and the ASCII signs; Ё has become е.
    if (int order = CompareBy(a, b, [](unsigned char c) { return int{FoldCp1251(c)}; }); order != 0) return order;
    if (int order = CompareBy(a, b, [](unsigned char c) { return IsYo(c) ? 1 : 0; }); order != 0) return order;
    // What is left is case: a capital's byte is below its small letter's in both alphabets, Ё's below ё's.
    return CompareBy(a, b, [](unsigned char c) { return int{c}; });
}

}  // namespace tarnwell
