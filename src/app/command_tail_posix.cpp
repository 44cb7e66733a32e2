#include "app/command_line.h"

namespace tarnwell {

std::string CommandTail(int argc, const char* const* argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail.push_back(' ');
        tail.append(argv[i]);
    }
    return tail;
}

}  // namespace tarnwell
