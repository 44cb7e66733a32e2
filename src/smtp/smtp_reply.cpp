#include "smtp/smtp_reply.h"

#include <string>

#include "smtp/peer_text.h"

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
    std::string text = PeerText(line);
    std::string excerpt = text.substr(0, kExcerptBytes);
    if (text.size() > kExcerptBytes) excerpt += "...";
    return ESmtpReplyError("Invalid server reply: expected three digits, saw '" + excerpt + "'");
}

}  // namespace tarnwell
