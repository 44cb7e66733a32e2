#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// Text that came from the peer (a server's reply line), made fit to be shown or written into a log: the
// line end is dropped and every other control byte (below 32, and 127) becomes "?". A reply holding
// escape sequences would otherwise clear an administrator's terminal or corrupt a log file.
//     "554 \x1b[2Jgo away\r\n" -> "554 ?[2Jgo away"
std::string PeerText(std::string_view text);

}  // namespace tarnwell
