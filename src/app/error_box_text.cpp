#include "app/error_box_text.h"

#include <algorithm>

#include "text/cp1251.h"

namespace tarnwell {
namespace {

bool IsLetterOrDigit(char c) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z')) return true;
    // Every letter of the code page above ASCII is Cyrillic (U+0400 to U+04FF); its signs are not.
    char16_t unicode = Cp1251ToUnicode(byte);
    return unicode >= 0x0400 && unicode <= 0x04FF;
}

}  // namespace

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (end > 0 && IsLetterOrDigit(text[end - 1])) text.insert(end, 1, '.');
    return text;
}

}  // namespace tarnwell
