#include "smtp/message_stamp.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace tarnwell {
namespace {

std::tm LocalTime(std::time_t moment) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &moment);
#else
    localtime_r(&moment, &local);
#endif
    return local;
}

std::tm UtcTime(std::time_t moment) {
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &moment);
#else
    gmtime_r(&moment, &utc);
#endif
    return utc;
}

// Seconds since 1970 of a broken-down time read as if it were UTC.
long long SecondsOf(const std::tm& t) {
    using namespace std::chrono;
    const sys_days date{year{t.tm_year + 1900} / month{static_cast<unsigned>(t.tm_mon + 1)} /
                        day{static_cast<unsigned>(t.tm_mday)}};
    return static_cast<long long>(date.time_since_epoch().count()) * 86400 + t.tm_hour * 3600LL + t.tm_min * 60LL +
           t.tm_sec;
}

// The domain of an address if it is a plain dot-atom (letters, digits, hyphens, dots between them).
bool IsPlainDomain(std::string_view domain) {
    if (domain.empty() || domain.front() == '.' || domain.back() == '.') return false;
    if (domain.find("..") != std::string_view::npos) return false;
    for (char c : domain) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '-' && c != '.') return false;
    }
    return true;
}

}  // namespace

std::string MailDate(std::time_t moment) {
    const std::tm local = LocalTime(moment);
    return MailDate(local, static_cast<long>(SecondsOf(local) - SecondsOf(UtcTime(moment))));
}

std::string MailDate(const std::tm& local, long offset_seconds) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const long minutes = std::labs(offset_seconds) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[(local.tm_wday % 7 + 7) % 7],
                  local.tm_mday, kMonths[(local.tm_mon % 12 + 12) % 12], local.tm_year + 1900, local.tm_hour,
                  local.tm_min, local.tm_sec, offset_seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

std::string MessageId(std::time_t moment, std::uint64_t random, std::string_view from_address) {
    static std::atomic<unsigned long> made{0};
    const std::tm utc = UtcTime(moment);
    std::size_t at = from_address.rfind('@');
    std::string_view domain = at == std::string_view::npos ? std::string_view() : from_address.substr(at + 1);
    if (!IsPlainDomain(domain)) domain = "localhost";
    char text[96];
    std::snprintf(text, sizeof text, "<%04d%02d%02d%02d%02d%02d.%lu.%016llx@", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, ++made, static_cast<unsigned long long>(random));
    // The id cannot be folded: a domain too long for one header line gives way to "localhost".
    constexpr std::size_t kRoom = 78 - std::string_view("Message-ID: ").size();
    if (std::string_view(text).size() + domain.size() + 1 > kRoom) domain = "localhost";
    return text + std::string(domain) + ">";
}

}  // namespace tarnwell
