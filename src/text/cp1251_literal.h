#pragma once

// Russian texts are written in the UTF-8 source as they read, and become Windows-1251 bytes at compile
// time:
//
//     using namespace tarnwell::literals;
//     std::string_view caption = "Статистика"_cp;
//
// A character that Windows-1251 cannot hold, or malformed UTF-8, is a compile error.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "text/cp1251_table.h"

namespace tarnwell {
namespace detail {

template <std::size_t N>
struct Utf8Literal {
    char text[N]{};
    consteval Utf8Literal(const char (&s)[N]) { std::copy_n(s, N, text); }
    constexpr std::string_view view() const { return {text, N - 1}; }
};

consteval std::size_t Cp1251Length(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++count) {
        char32_t cp = 0;
        std::size_t len = DecodeUtf8(utf8, i, cp);
        if (len == 0 || UnicodeToCp1251Byte(cp) < 0) throw "text not representable in Windows-1251";
        i += len;
    }
    return count;
}

template <Utf8Literal S>
struct Cp1251Bytes {
    static constexpr std::size_t size = Cp1251Length(S.view());
    static constexpr auto data = [] {
        std::array<char, size + 1> out{};
        std::string_view in = S.view();
        std::size_t o = 0;
        for (std::size_t i = 0; i < in.size();) {
            char32_t cp = 0;
            i += DecodeUtf8(in, i, cp);
            out[o++] = static_cast<char>(UnicodeToCp1251Byte(cp));
        }
        return out;
    }();
};

}  // namespace detail

namespace literals {

// "текст"_cp: the Windows-1251 bytes of a UTF-8 literal, as a view of static storage (zero-terminated).
template <detail::Utf8Literal S>
consteval std::string_view operator""_cp() {
    return {detail::Cp1251Bytes<S>::data.data(), detail::Cp1251Bytes<S>::size};
}

}  // namespace literals
}  // namespace tarnwell
