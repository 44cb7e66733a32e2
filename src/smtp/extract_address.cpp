#include "smtp/mail_message.h"

namespace tarnwell {

std::string ExtractAddress(const std::string& entry) {
    std::size_t open = entry.find('<');
    if (open != std::string::npos) {
        std::string inside = entry.substr(open + 1);
        inside = inside.substr(0, inside.find('<'));
        return inside.substr(0, inside.find('>'));
    }
    std::size_t colon = entry.find(':');
    if (colon != std::string::npos) {
        std::string after = entry.substr(colon + 1);
        return after.substr(0, after.find(':'));
    }
    return entry;
}

}  // namespace tarnwell
