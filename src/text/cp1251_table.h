#pragma once

// The Windows-1251 code page as constexpr data, shared by the run-time conversions and by the
// compile-time literal helper (cp1251_literal.h).

#include <array>
#include <cstddef>
#include <string_view>

namespace tarnwell::detail {

// Bytes 0x80 to 0xBF; 0x00 to 0x7F are ASCII and 0xC0 to 0xFF are U+0410 to U+044F.
inline constexpr std::array<char16_t, 64> kCp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98: 0x98 is unassigned
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

inline constexpr std::array<char16_t, 256> kCp1251ToUnicode = [] {
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 0x80; ++b) table[b] = static_cast<char16_t>(b);
    for (int b = 0x80; b < 0xC0; ++b) table[b] = kCp1251High[b - 0x80];
    for (int b = 0xC0; b < 0x100; ++b) table[b] = static_cast<char16_t>(0x0410 + (b - 0xC0));
    return table;
}();

// The byte for a code point, or -1 when the code page has none.
constexpr int UnicodeToCp1251Byte(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(cp - 0x0410 + 0xC0);
    if (cp == 0xFFFD) return -1;
    for (int i = 0; i < 64; ++i) {
        if (kCp1251High[i] == cp) return 0x80 + i;
    }
    return -1;
}

// Decodes one UTF-8 sequence at text[pos]. Returns its length and sets cp, or returns 0 for a byte that
// does not start a well-formed, shortest-form sequence.
constexpr std::size_t DecodeUtf8(std::string_view text, std::size_t pos, char32_t& cp) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    std::size_t len = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        len = 2, cp = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, cp = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, cp = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (pos + len > text.size()) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        unsigned char c = byte(pos + i);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

}  // namespace tarnwell::detail
