#include "app/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tarnwell {
namespace {

struct FirstArgumentCase {
    std::string tail;
    std::optional<std::string> first;
};

class FirstArgumentTest : public testing::TestWithParam<FirstArgumentCase> {};

TEST_P(FirstArgumentTest, SplitsTheWindowsCommandLineAsTheProgramAlwaysDid) {
    EXPECT_EQ(FirstArgument(GetParam().tail), GetParam().first) << '[' << GetParam().tail << ']';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirstArgumentTest,
    testing::Values(FirstArgumentCase{"", std::nullopt}, FirstArgumentCase{"   \t ", std::nullopt},
                    FirstArgumentCase{"/setlimit", "/setlimit"}, FirstArgumentCase{"  /setlimit  ", "/setlimit"},
                    FirstArgumentCase{"/sendhtml /sendmail", "/sendhtml"},
                    FirstArgumentCase{"\t/sendmail\tx", "/sendmail"},
                    FirstArgumentCase{"\x01/sendmail\x1f", "/sendmail"},  // control characters separate
                    FirstArgumentCase{"/send\nmail", "/send"},
                    FirstArgumentCase{"\"/sendmail\"", "/sendmail"},      // quotes are dropped
                    FirstArgumentCase{"\"/send mail\" x", "/send mail"},  // a quoted stretch keeps its blanks
                    FirstArgumentCase{"/send\"ma\"il", "/sendmail"},      // quotes inside an argument too
                    FirstArgumentCase{"\"/send\tmail", "/send\tmail"},    // an open quote runs to the end
                    FirstArgumentCase{"\"\" /sendmail", "/sendmail"},     // a lone "" is no argument
                    FirstArgumentCase{"\"\"\"\" \"\" /setlimit", "/setlimit"}, FirstArgumentCase{"\"\"", std::nullopt},
                    FirstArgumentCase{"\"", std::nullopt},  // an argument that comes out empty
                    FirstArgumentCase{"\xcf\xf0\xe8\xe2\xe5\xf2", "\xcf\xf0\xe8\xe2\xe5\xf2"}
                    // bytes above 0x7F are text
                    ));

TEST(NextArgument, TakesArgumentsOneByOne) {
    std::string_view rest = "C:\\\"Program Files\"\\tarnwell.exe  \"a b\" c\"\"d \"\" ";
    std::vector<std::string> args;
    for (std::string arg = NextArgument(rest); !arg.empty(); arg = NextArgument(rest)) args.push_back(arg);
    EXPECT_EQ(args, (std::vector<std::string>{"C:\\Program Files\\tarnwell.exe", "a b", "cd"}));
}

#ifndef _WIN32
// The shell has split the arguments: the first one is argv[1] as it stands, quotes and blanks included.
TEST(FirstCommandArgument, IsTheFirstShellArgumentByteForByte) {
    struct Case {
        std::vector<const char*> argv;
        std::optional<std::string> first;
    };
    const Case cases[] = {
        {{"tarnwell"}, std::nullopt},
        {{"tarnwell", "/setlimit"}, "/setlimit"},
        {{"tarnwell", "/sendhtml", "/sendmail"}, "/sendhtml"},
        {{"tarnwell", "/set\"limit"}, "/set\"limit"},      // no quoting inside an argument
        {{"tarnwell", "/createhtml\""}, "/createhtml\""},  // nor an open quote
        {{"tarnwell", "\"/sendmail\""}, "\"/sendmail\""},
        {{"tarnwell", "/setlimit now"}, "/setlimit now"},  // blanks stay inside
        {{"tarnwell", " /setlimit"}, " /setlimit"},
        {{"tarnwell", "", "/setlimit"}, ""},  // an empty argument is the first one, and names no switch
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirstCommandArgument(static_cast<int>(c.argv.size()), c.argv.data()), c.first)
            << (c.argv.size() > 1 ? c.argv[1] : "(none)");
    }
}
#endif

}  // namespace
}  // namespace tarnwell
