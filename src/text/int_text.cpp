#include "text/int_text.h"

#include <array>
#include <bit>
#include <charconv>

#include "text/error.h"
#include "text/message.h"

namespace tarnwell {

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    // "", "-", "12 ", "1e3", "0x10"
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    std::int64_t value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return std::nullopt;  // "99999999999"
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return std::nullopt;  // "2147483648"
    return static_cast<std::int32_t>(value);
}

std::int32_t StrToInt(std::string_view text) {
    if (auto value = TryStrToInt(text)) return *value;
    throw EConvertError(FormatMsg("'%s' is not a valid integer value", {text}));
}

std::int32_t ProfileStrToInt(std::string_view text, std::int32_t def) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::string_view hex = text.substr(2);
        // "0x123456789" (more than 32 bits), "0xG1"
        if (hex.size() > 8) return def;
        std::uint32_t value = 0;
        auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
        if (ec != std::errc() || end != hex.data() + hex.size()) return def;
        return static_cast<std::int32_t>(value);
    }
    return TryStrToInt(text).value_or(def);
}

std::string IntToStr(std::int64_t value) {
    return std::to_string(value);
}

std::size_t IntTextLength(std::int64_t value) {
    static constexpr auto kPowersOf10 = [] {
        std::array<std::uint64_t, 20> powers{};
        powers[0] = 1;
        for (std::size_t i = 1; i < powers.size(); ++i) powers[i] = powers[i - 1] * 10;
        return powers;
    }();
    // The magnitude as unsigned, so that the lowest value has one too; 0 has a digit, as 1 has.
    const std::uint64_t magnitude =
        (value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value)) | 1;
    // Digits from the bit length (times log10 2, never too many), corrected by one comparison.
    const int bits = 64 - std::countl_zero(magnitude);
    const auto guess = static_cast<std::size_t>((bits * 1233) >> 12);
    return guess + (magnitude >= kPowersOf10[guess] ? 1 : 0) + (value < 0 ? 1 : 0);
}

std::string_view WriteIntText(std::int64_t value, IntTextBuffer& buffer) {
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data())};
}

}  // namespace tarnwell
