#include <algorithm>

#include "app/command_line.h"

namespace tarnwell {

// The arguments as the shell passed them, joined by blanks. One that holds a blank or another control
// character is put in double quotes, so that it splits back into the same one argument, as the same
// command line would on Windows: `tarnwell "/setlimit now"` names no switch.
std::string CommandTail(int argc, const char* const* argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (i > 1) tail.push_back(' ');
        bool quote = std::any_of(arg.begin(), arg.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
        if (quote) tail.push_back('"');
        tail.append(arg);
        if (quote) tail.push_back('"');
    }
    return tail;
}

}  // namespace tarnwell
