#include "smtp/message_stamp.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <set>

namespace tarnwell {
namespace {

TEST(MailDate, DayMonthTimeAndTheOffsetFromUtc) {
    struct Case {
        std::time_t moment;  // UTC
        long offset;
        const char* text;
    } cases[] = {
        {1'772'690'824, 3 * 3600, "Thu, 05 Mar 2026 09:07:04 +0300"},
        {1'767'225'599, 0, "Wed, 31 Dec 2025 23:59:59 +0000"},
        {1'767'497'400, -(3 * 3600 + 30 * 60), "Sun, 04 Jan 2026 00:00:00 -0330"},
        {1'780'726'500, 5 * 3600 + 45 * 60, "Sat, 06 Jun 2026 12:00:00 +0545"},
    };
    for (const Case& c : cases) {
        // The local time of the moment in a zone of that offset.
        const std::time_t shifted = c.moment + c.offset;
        EXPECT_EQ(MailDate(*std::gmtime(&shifted), c.offset), c.text);
    }
}

// The text of a moment, read back: its local time less its offset is that moment, whatever the zone.
TEST(MailDate, ReadBackGivesTheMomentItself) {
    static const char* const kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const std::time_t now = std::time(nullptr);
    for (std::time_t moment : {std::time_t{0}, std::time_t{1'000'000'000}, std::time_t{1'782'000'000}, now}) {
        const std::string text = MailDate(moment);
        ASSERT_TRUE(std::regex_match(text, std::regex("[A-Z][a-z]{2}, \\d\\d [A-Z][a-z]{2} \\d{4} \\d\\d:\\d\\d:\\d\\d "
                                                      "[+-]\\d{4}")))
            << text;
        int day = 0, year = 0, hour = 0, minute = 0, second = 0, zone = 0;
        char month[4] = {};
        char sign = 0;
        ASSERT_EQ(std::sscanf(text.c_str() + 5, "%d %3s %d %d:%d:%d %c%d", &day, month, &year, &hour, &minute, &second,
                              &sign, &zone),
                  8);
        using namespace std::chrono;
        const auto month_number = static_cast<unsigned>(std::strstr(kMonths, month) - kMonths) / 3 + 1;
        const sys_days date{std::chrono::year{year} / std::chrono::month{month_number} /
                            std::chrono::day{static_cast<unsigned>(day)}};
        const long long offset = (sign == '-' ? -1 : 1) * ((zone / 100) * 3600LL + (zone % 100) * 60LL);
        const long long local = date.time_since_epoch().count() * 86400LL + hour * 3600LL + minute * 60LL + second;
        EXPECT_EQ(local - offset, static_cast<long long>(moment)) << text;
    }
}

#ifndef _WIN32
// The offset is that of the moment, not of today: summer and winter time of one zone differ.
TEST(MailDate, TheOffsetOfTheLocalZoneAtThatMoment) {
    const char* saved = std::getenv("TZ");
    const std::string old = saved ? saved : "";
    struct Case {
        const char* zone;
        std::time_t moment;
        const char* text;
    } cases[] = {
        {"MSK-3", 0, "Thu, 01 Jan 1970 03:00:00 +0300"},
        {"NST+3:30", 0, "Wed, 31 Dec 1969 20:30:00 -0330"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1'782'000'000, "Sun, 21 Jun 2026 02:00:00 +0200"},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1'767'225'600, "Thu, 01 Jan 2026 01:00:00 +0100"},
    };
    for (const Case& c : cases) {
        setenv("TZ", c.zone, 1);
        tzset();
        EXPECT_EQ(MailDate(c.moment), c.text) << c.zone;
    }
    if (saved) {
        setenv("TZ", old.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}
#endif

TEST(MessageId, UniqueAndWithTheSendersDomain) {
    const std::time_t moment = 1'782'000'000;  // 2026-06-21 00:00:00 UTC
    const std::regex form("<20260621000000\\.\\d+\\.00000000deadbeef@([^>]*)>");
    struct Case {
        const char* from;
        const char* domain;
    } cases[] = {
        {"admin@corp.ru", "corp.ru"},
        {"Admin@Mail-1.Corp.RU", "Mail-1.Corp.RU"},
        {"a@b@corp.ru", "corp.ru"},
        {"", "localhost"},
        {"admin", "localhost"},
        {"admin@", "localhost"},
        {"admin@.corp.ru", "localhost"},
        {"admin@corp..ru", "localhost"},
        {"admin@corp ru", "localhost"},
        {"admin@[127.0.0.1]", "localhost"},
        {"admin@a-very-long-mail-domain-of-some-company.example.corp.ru", "localhost"},
    };
    std::set<std::string> ids;
    for (const Case& c : cases) {
        const std::string id = MessageId(moment, 0xdeadbeef, c.from);
        std::smatch match;
        ASSERT_TRUE(std::regex_match(id, match, form)) << id;
        EXPECT_EQ(match[1].str(), c.domain) << c.from;
        EXPECT_LE(id.size() + 12, 78u) << id;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), std::size(cases)) << "the same moment and random bits still give new ids";
}

}  // namespace
}  // namespace tarnwell
