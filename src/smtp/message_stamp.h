#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace tarnwell {

// The value of a Date header: "Thu, 05 Mar 2026 09:07:04 +0300", the local time of the moment with the
// offset of local time from UTC at that moment.
std::string MailDate(std::time_t moment);
// The same from a broken-down local time (tm_wday included) and its offset from UTC in seconds.
std::string MailDate(const std::tm& local, long offset_seconds);

// The value of a Message-ID header, unique to one message:
// "<20260305090704.7.1a2b3c4d5e6f7081@corp.ru>", the moment in UTC, a count of the ids this process has
// made, 64 random bits, and the domain of the sender's address ("localhost" when it has none that may
// stand there).
std::string MessageId(std::time_t moment, std::uint64_t random, std::string_view from_address);

}  // namespace tarnwell
