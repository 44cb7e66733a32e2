#include "app/command_line.h"

namespace tarnwell {
namespace {

bool IsSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::string NextArgument(std::string_view& rest) {
    std::size_t pos = 0;
    for (;;) {
        while (pos < rest.size() && IsSeparator(rest[pos])) ++pos;
        // "" at the start of an argument is skipped, so a lone pair of quotes is no argument.
        if (rest.substr(pos, 2) != "\"\"") break;
        pos += 2;
    }
    std::string arg;
    while (pos < rest.size() && !IsSeparator(rest[pos])) {
        if (rest[pos] == '"') {
            ++pos;
            while (pos < rest.size() && rest[pos] != '"') arg.push_back(rest[pos++]);
            if (pos < rest.size()) ++pos;  // the closing quote
        } else {
            arg.push_back(rest[pos++]);
        }
    }
    rest.remove_prefix(pos);
    return arg;
}

std::optional<std::string> FirstArgument(std::string_view tail) {
    std::string arg = NextArgument(tail);
    if (arg.empty()) return std::nullopt;
    return arg;
}

}  // namespace tarnwell
