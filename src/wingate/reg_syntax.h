#pragma once

// The syntax of registry export files as the document's parser and writer share it: headers, line ends,
// quoting and hex data. Internal to the document (reg_document*.cpp).

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tarnwell::reg_syntax {

inline constexpr std::u16string_view kHeader4 = u"REGEDIT4";
inline constexpr std::u16string_view kHeader5 = u"Windows Registry Editor Version 5.00";

// Whether two texts hold the same units, four at a time: comparing char16_t strings with == goes unit by
// unit, and the parser and the reads compare short names and key paths all the time.
inline bool SameUnits(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    std::size_t i = 0;
    for (; i + 4 <= a.size(); i += 4) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a.data() + i, sizeof x);
        std::memcpy(&y, b.data() + i, sizeof y);
        if (x != y) return false;
    }
    for (; i < a.size(); ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

inline bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// The value of a hex digit, or -1. A table rather than range tests: the digits of stored numbers mix
// decimal digits and letters at random, which the tests' branches mispredict.
inline constexpr auto kHexDigits = [] {
    struct Table {
        signed char value[128];
    } table{};
    for (int c = 0; c < 128; ++c) {
        table.value[c] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                         : -1);
    }
    return table;
}();

inline int HexDigit(char16_t c) {
    return c < 128 ? kHexDigits.value[c] : -1;
}

inline char16_t UpperCase(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 32);
    if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 80);
    if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) return static_cast<char16_t>(c - 32);
    if (c == 0x0491) return 0x0490;
    return c;
}

inline std::u16string_view TrimRight(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The line without its ending ("\n" or "\r\n").
inline std::u16string_view Content(std::u16string_view line) {
    if (!line.empty() && line.back() == u'\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    return line;
}

// The line ending that closes a piece of text ("" for the file's last line when it has none).
inline std::u16string_view Ending(std::u16string_view text) {
    if (text.empty() || text.back() != u'\n') return {};
    if (text.size() >= 2 && text[text.size() - 2] == u'\r') return text.substr(text.size() - 2);
    return text.substr(text.size() - 1);
}

// Whether a piece that starts a line ends with an empty line (the piece is one, or its last two endings
// follow each other).
inline bool EndsWithEmptyLine(std::u16string_view text) {
    std::u16string_view rest = text.substr(0, text.size() - Ending(text).size());
    if (rest.size() == text.size()) return false;
    return rest.empty() || rest.back() == u'\n';
}

// Reads the bytes of a hex value's data ("00,4a,\" continued on the next lines). Used to check a value
// while parsing (out == nullptr) and to decode it later.
class HexScanner {
public:
    // Scans one line's content. Returns false with error set when the line is malformed; sets continues
    // when the data goes on on the next line.
    bool Line(std::u16string_view s, std::string* out, const char*& error, bool& continues) {
        continues = false;
        std::size_t i = 0;
        for (;;) {
            while (i < s.size() && IsBlank(s[i])) ++i;
            if (i == s.size()) {
                if (state_ == State::AfterComma) {
                    error = "expected a hex byte after ','";  // 00,01,<end>
                    return false;
                }
                return true;
            }
            char16_t c = s[i];
            if (c == u'\\') {
                if (state_ == State::AfterByte || !TrimRight(s.substr(i + 1)).empty()) {
                    error = "a '\\' continues hex data only after a ',' at the end of a line";  // 00\ 01
                    return false;
                }
                continues = true;
                return true;
            }
            if (state_ == State::AfterByte) {
                if (c != u',') {
                    error = "expected ',' between hex bytes";  // 00 01
                    return false;
                }
                state_ = State::AfterComma;
                ++i;
                continue;
            }
            int hi = HexDigit(c);
            int lo = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
            if (hi < 0 || lo < 0) {
                error = "expected a hex byte of two digits";  // 0g, 1
                return false;
            }
            if (out != nullptr) out->push_back(static_cast<char>(hi * 16 + lo));
            state_ = State::AfterByte;
            i += 2;
        }
    }

private:
    enum class State { Start, AfterByte, AfterComma };
    State state_ = State::Start;
};

// Scans a quoted text starting after its opening quote. Returns the offset of the closing quote within s,
// or npos with error set.
inline std::size_t ScanQuoted(std::u16string_view s, bool& escaped, const char*& error) {
    escaped = false;
    // Four units at a time up to the first quote or backslash: a unit equal to c turns to zero in
    // word ^ (c in every unit), and (x - 1) & ~x sets the high bit of each unit that is zero.
    constexpr std::uint64_t kOnes = 0x0001000100010001ull;
    constexpr std::uint64_t kHighs = 0x8000800080008000ull;
    constexpr std::uint64_t kQuotes = 0x0022002200220022ull;
    constexpr std::uint64_t kBackslashes = 0x005C005C005C005Cull;
    std::size_t start = 0;
    while (start + 4 <= s.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, s.data() + start, sizeof word);
        const std::uint64_t q = word ^ kQuotes;
        const std::uint64_t b = word ^ kBackslashes;
        if ((((q - kOnes) & ~q) | ((b - kOnes) & ~b)) & kHighs) break;
        start += 4;
    }
    for (std::size_t i = start; i < s.size(); ++i) {
        if (s[i] == u'"') return i;
        if (s[i] == u'\\') {
            if (i + 1 < s.size() && (s[i + 1] == u'\\' || s[i + 1] == u'"')) {
                escaped = true;
                ++i;
                continue;
            }
            error = "unknown escape sequence in quotes (only \\\\ and \\\" are allowed)";  // "a\n"
            return std::u16string_view::npos;
        }
    }
    error = "missing closing quote";  // "abc
    return std::u16string_view::npos;
}

inline std::u16string Unescape(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) ++i;
        out.push_back(s[i]);
    }
    return out;
}

inline std::u16string Escape(std::u16string_view s) {
    std::u16string out;
    out.reserve(s.size() + 2);
    for (char16_t c : s) {
        if (c == u'\\' || c == u'"') out.push_back(u'\\');
        out.push_back(c);
    }
    return out;
}

// Whether s starts with prefix (given in lower case) in any letter case. Files write it in lower case:
// that is tried first, at once.
inline bool StartsWithNoCase(std::u16string_view s, std::u16string_view prefix) {
    if (s.size() < prefix.size()) return false;
    if (SameUnits(s.substr(0, prefix.size()), prefix)) return true;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (UpperCase(s[i]) != UpperCase(prefix[i])) return false;
    }
    return true;
}

inline void AppendHex(std::u16string& out, std::uint32_t value, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 0xF]);
}

}  // namespace tarnwell::reg_syntax
