#include "stats/cell_number.h"

#include <charconv>
#include <system_error>

#include "text/error.h"
#include "text/message.h"

namespace tarnwell {

std::int64_t CellToInt64(std::string_view text) {
    std::string_view digits = text;
    bool plus = !digits.empty() && digits.front() == '+';
    if (plus) digits.remove_prefix(1);  // from_chars takes a leading '-' only
    std::int64_t value = 0;
    const char* end = digits.data() + digits.size();
    auto [stop, ec] = std::from_chars(digits.data(), end, value, 10);
    // "", "-", "+-5", "12 ", "1,5", "99999999999999999999"
    bool sign_twice = plus && !digits.empty() && digits.front() == '-';
    if (sign_twice || ec != std::errc() || stop != end) {
        throw EConvertError(FormatMsg("'%s' is not a valid integer value", {text}));
    }
    return value;
}

}  // namespace tarnwell
