#pragma once

#include <string_view>

#include "smtp/mail_message.h"

namespace tarnwell {

// A value that goes into an SMTP command or a header line must stay on its line: a CR or LF would let it
// smuggle further commands or header lines to the server, and a zero byte would cut the line short.
// These raise Error "Invalid character (CR, LF or NUL) in <field>" for such a value, before anything is
// sent.
void CheckLineSafe(std::string_view field, std::string_view value);
// The sender address and every recipient entry (the envelope commands).
void CheckEnvelopeSafe(const TMailMessage& message);
// Everything written into header lines: sender, recipients, subject, X-Mailer, date, reply-to and the
// attachment paths, whose file names go into the parts' headers.
void CheckHeaderSafe(const TMailMessage& message);

}  // namespace tarnwell
