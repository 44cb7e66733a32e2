#include "viewer/byte_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "plain_lines.h"

namespace tarnwell {
namespace {

// Texts of TABs, CRs, LFs and letters, long enough that breaks fall on both sides of every 16-byte step
// and across them (a CR ending one step, its LF starting the next).
TEST(ByteScan, AgreesWithAPlainByteByByteScan) {
    std::mt19937 random(7);
    const char alphabet[] = {'a', 'b', '\t', '\r', '\n', '\r'};
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 80, 'x');
        for (char& c : text) c = alphabet[random() % (random() % 4 == 0 ? 6 : 2)];
        SCOPED_TRACE(::testing::PrintToString(text));

        EXPECT_EQ(CountLines(text), PlainLines(text).size());

        const char* begin = text.data();
        const char* end = begin + text.size();
        for (std::size_t from = 0; from <= text.size(); from += 5) {
            const char* p = begin + from;
            EXPECT_EQ(FindFieldEnd(p, end),
                      std::find_if(p, end, [](char c) { return c == '\t' || c == '\r' || c == '\n'; }));
            EXPECT_EQ(FindLineBreak(p, end), std::find_if(p, end, [](char c) { return c == '\r' || c == '\n'; }));
        }
    }
}

TEST(ByteScan, CrLfAcrossTheSixteenByteStep) {
    std::string text(15, 'a');
    text += "\r\nb";
    EXPECT_EQ(CountLines(text), 2u);
    EXPECT_EQ(CountLines(std::string(32, '\r')), 32u);
    EXPECT_EQ(CountLines(std::string(16, '\r') + std::string(16, '\n')), 31u);  // one CR LF in the middle
}

}  // namespace
}  // namespace tarnwell
