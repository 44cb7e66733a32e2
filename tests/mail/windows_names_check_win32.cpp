// A compile check, built for Windows only: <windows.h> defines some of the project's names as macros
// (PostMessage, ReplaceFile). The headers declare them with the macro suspended, so a file that includes
// <windows.h> first still declares the project's own names and a use of them under the macro fails to
// compile instead of silently reaching a renamed member. This file fails to build when a header declares
// one of them under the macro's expansion.
#include <windows.h>

#include <string>
#include <string_view>
#include <type_traits>

#include "files/output_file.h"
#include "smtp/smtp_client.h"

#if !defined(PostMessage) || !defined(ReplaceFile)
#error "<windows.h> no longer defines these names; the check checks nothing"
#endif
// The headers give the macros back as they found them.
#undef PostMessage
#undef ReplaceFile

namespace tarnwell {

static_assert(std::is_same_v<decltype(&TSmtpClient::PostMessage), TMailMessage TSmtpClient::*>);
static_assert(std::is_same_v<decltype(&ReplaceFile), void (*)(const std::string&, std::string_view, Durability)>);

}  // namespace tarnwell
