#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// Header lines as mail programs read them. A header may hold ASCII only: text of the program (Windows-1251)
// that is not plain printable ASCII goes out as encoded words, "=?windows-1251?B?<Base64>?=". Lines are
// folded (CR LF and a blank, which the reader removes again) so that no line of a header passes 78
// characters, nor 76 where it holds encoded words, wherever the text allows a fold. Text that is plain
// ASCII and short enough stays byte for byte as it is.
//
// Each function returns the whole header line, "<name>: <value>", with its folds.

inline constexpr std::size_t kMaxHeaderLine = 78;
inline constexpr std::size_t kMaxEncodedLine = 76;

// A header of free text (Subject, X-Mailer). Empty text gives an empty value.
std::string TextHeader(std::string_view name, std::string_view text);

// The From line: the display name directly followed by the address in angle brackets ("Admin<a@b.ru>").
// A display name that is not plain ASCII goes out as encoded words, then a blank before the address.
std::string MailboxHeader(std::string_view name, std::string_view display_name, std::string_view address);

// To, CC or Reply-To: the entries as they stand, joined by "," with no blank, folded after a comma. Of
// an entry "Display Name <address>" a display name that is not plain ASCII goes out as encoded words.
std::string AddressListHeader(std::string_view name, const std::vector<std::string>& entries);

}  // namespace tarnwell
