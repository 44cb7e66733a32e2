#pragma once

#include <string_view>

namespace tarnwell::account_values {

// The registry values of a WinGate account key that the program reads and writes, by their names in the
// registry (any letter case matches there). Balances and the limit are in units of 100 bytes.
inline constexpr std::string_view kType = "Type";                                  // the account's kind
inline constexpr std::string_view kUserType = "User";                              // Type of a user account
inline constexpr std::string_view kRealName = "RealName";                          // full name
inline constexpr std::string_view kClientSendTraffic = "ClientSendTraffic";        // bytes, unsigned
inline constexpr std::string_view kNonClientRecvTraffic = "NonClientRecvTraffic";  // bytes, unsigned
inline constexpr std::string_view kClientRecvTraffic = "ClientRecvTraffic";        // bytes, unsigned
inline constexpr std::string_view kNonClientSendTraffic = "NonClientSendTraffic";  // bytes, unsigned
inline constexpr std::string_view kTimeOnLine = "TimeOnLine";                      // seconds, unsigned
inline constexpr std::string_view kOpeningBalanceLo = "OpeningBalanceLo";          // opening balance
inline constexpr std::string_view kClosingBalanceLo = "ClosingBalanceLo";          // balance left
inline constexpr std::string_view kLimit = "Limit";                                // monthly limit; may be absent
inline constexpr std::string_view kAccountEnabled = "AccountEnabled";              // "Включен"; absent: enabled
inline constexpr std::string_view kSendMail = "SendMail";                          // "Послать"; absent: ticked

// The value of the service key that names the proxy's program.
inline constexpr std::string_view kImagePath = "ImagePath";

}  // namespace tarnwell::account_values
