#include "smtp/smtp_reply.h"

#include <string>

namespace tarnwell {
namespace {

constexpr std::size_t kExcerptBytes = 60;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsReplyLine(std::string_view line) {
    if (line.size() < 4 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return false;
    std::string_view rest = line.substr(3);
    return rest[0] == ' ' || rest[0] == '-' || rest == "\r\n" || rest == "\n";
}

ESmtpReplyError InvalidReply(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    std::string excerpt;
    for (char c : line.substr(0, kExcerptBytes)) {
        const auto byte = static_cast<unsigned char>(c);
        excerpt += byte < 0x20 || byte == 0x7f ? '?' : c;
    }
    if (line.size() > kExcerptBytes) excerpt += "...";
    return ESmtpReplyError("Invalid server reply: expected three digits, saw '" + excerpt + "'");
}

}  // namespace tarnwell
