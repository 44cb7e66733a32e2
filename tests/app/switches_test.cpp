#include "app/switches.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarnwell {
namespace {

TEST(MatchSwitch, MatchesOnlyTheExactText) {
    struct Case {
        std::string argument;
        std::optional<Switch> expected;
    };
    const Case cases[] = {
        {"/setlimit", Switch::SetLimit},
        {"/createhtml", Switch::CreateHtml},
        {"/sendhtml", Switch::SendHtml},
        {"/sendmail", Switch::SendMail},
        {"/SendMail", std::nullopt},  // letter case counts
        {"/SETLIMIT", std::nullopt},
        {"sendmail", std::nullopt},    // the slash belongs to it
        {"/sendmail2", std::nullopt},  // no prefix matches
        {"/send", std::nullopt},       // no abbreviation either
        {"-setlimit", std::nullopt},
        {"/set\"limit", std::nullopt},  // a quote is a character like any other
        {"/createhtml\"", std::nullopt},
        {"", std::nullopt},
        {std::string("/setlimit\0", 10), std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(MatchSwitch(c.argument), c.expected) << c.argument;
}

}  // namespace
}  // namespace tarnwell
