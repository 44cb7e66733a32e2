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

TEST_P(FirstArgumentTest, SplitsLikeTheProgramAlwaysDid) {
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
TEST(CommandTail, SplitsBackIntoTheShellsArguments) {
    const char* argv[] = {"/opt/tarnwell", "/sendhtml", "", "two words", "tab\there"};
    EXPECT_EQ(CommandTail(5, argv), "/sendhtml  \"two words\" \"tab\there\"");
    EXPECT_EQ(CommandTail(1, argv), "");
    // An empty first argument is no argument, so the next one is the first.
    const char* empty_first[] = {"tarnwell", "", "/setlimit"};
    EXPECT_EQ(FirstArgument(CommandTail(3, empty_first)), "/setlimit");
    // An argument with a blank stays one argument, and so is no switch.
    const char* quoted[] = {"tarnwell", "/setlimit now"};
    EXPECT_EQ(FirstArgument(CommandTail(2, quoted)), "/setlimit now");
}
#endif

}  // namespace
}  // namespace tarnwell
