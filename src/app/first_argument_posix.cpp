#include "app/command_line.h"

namespace tarnwell {

// The shell has split and unquoted the arguments already: splitting them again would make a quote inside
// one (`'/set"limit'`) act as quoting. An empty argument is an argument too, and names no switch.
std::optional<std::string> FirstCommandArgument(int argc, const char* const* argv) {
    if (argc < 2 || argv[1] == nullptr) return std::nullopt;
    return std::string(argv[1]);
}

}  // namespace tarnwell
