#include "text/message.h"

namespace tarnwell {

std::string FormatMsg(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    auto next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == '%') {
                out.push_back('%');
                ++i;
                continue;
            }
            if (pattern[i + 1] == 's' && next != args.end()) {
                out.append(*next++);
                ++i;
                continue;
            }
        }
        out.push_back(pattern[i]);
    }
    return out;
}

}  // namespace tarnwell
