#include "text/cp1251.h"

#include "text/cp1251_table.h"

namespace tarnwell {

char16_t Cp1251ToUnicode(unsigned char byte) {
    return detail::kCp1251ToUnicode[byte];
}

int UnicodeToCp1251(char32_t code_point) {
    return detail::UnicodeToCp1251Byte(code_point);
}

std::u16string Cp1251ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (unsigned char c : text) out.push_back(Cp1251ToUnicode(c));
    return out;
}

std::string Utf16ToCp1251(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        // A surrogate pair stands for one character outside the code page: one '?'.
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            ++i;
            out.push_back(kUnmappable);
            continue;
        }
        int byte = UnicodeToCp1251(cp);
        out.push_back(byte < 0 ? kUnmappable : static_cast<char>(byte));
    }
    return out;
}

std::string Cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char c : text) {
        char16_t u = Cp1251ToUnicode(c);
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

std::string Utf8ToCp1251(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t cp = 0;
        std::size_t len = detail::DecodeUtf8(text, i, cp);
        if (len == 0) {  // a stray continuation byte, a bad lead byte or a cut sequence
            out.push_back(kUnmappable);
            ++i;
            continue;
        }
        i += len;
        int byte = UnicodeToCp1251(cp);
        out.push_back(byte < 0 ? kUnmappable : static_cast<char>(byte));
    }
    return out;
}

}  // namespace tarnwell
