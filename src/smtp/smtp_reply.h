#pragma once

#include <string_view>

#include "smtp/sock_error.h"

namespace tarnwell {

// A line as an SMTP server answers: three digits, then a blank, a hyphen or the line end ("250 ok",
// "250-first of several lines", "250"); the line end is CR LF or a bare LF. Anything else ("hello",
// "25 ok", "2500 ok", a line cut off before its end) is no reply.
bool IsReplyLine(std::string_view line);

// The error for a line that is no reply line: "Invalid server reply: expected three digits, saw '...'",
// the line without its end, cut to 60 bytes, control bytes shown as "?".
ESmtpReplyError InvalidReply(std::string_view line);

}  // namespace tarnwell
