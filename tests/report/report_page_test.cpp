#include <gtest/gtest.h>

#include "report/report_page.h"

namespace tarnwell {
namespace {

struct LinesCase {
    const char* text;
    std::vector<std::string> lines;
};
const LinesCase kLineCases[] = {
    {"", {}},
    {"a", {"a"}},
    {"a\r\nb\r\n", {"a", "b"}},
    {"a\rb\nc", {"a", "b", "c"}},
    {"a\n\r\nb", {"a", "", "b"}},
    {"\r\r\n", {"", ""}},
    {"a\n\rb", {"a", "", "b"}},
};

TEST(SplitLines, EndsAtCrLfCrOrLf) {
    for (const LinesCase& c : kLineCases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

// The page holds the fragment's lines as SplitLines finds them, each ended by CR LF.
TEST(ReportPage, BodyIsTheFragmentsLinesEachEndedByCrLf) {
    const std::string empty_page = ReportPage("");
    const std::string head = empty_page.substr(0, empty_page.find("<body>\r\n") + 8);
    for (const LinesCase& c : kLineCases) {
        std::string expected = head;
        for (const std::string& line : c.lines) expected += line + "\r\n";
        EXPECT_EQ(ReportPage(c.text), expected + "</body></html>\r\n") << c.text;
    }
}

TEST(ReportPage, FragmentLinesEndInCrLfBetweenHeadAndClosingLine) {
    const std::string page = ReportPage("<table>\n<tr>\r<td>x</td>\r\n</table>");
    const std::string body = page.substr(page.find("<body>\r\n") + 8);
    EXPECT_EQ(body, "<table>\r\n<tr>\r\n<td>x</td>\r\n</table>\r\n</body></html>\r\n");
    EXPECT_EQ(ReportPage(""), page.substr(0, page.find("<body>\r\n") + 8) + "</body></html>\r\n");
}

// The page made from pieces is the page made from the whole, wherever the pieces split the fragment: in a
// CR LF, after a lone CR, before a lone LF.
TEST(ReportPageWriter, PiecesSplitAnywhereGiveThePageOfTheWhole) {
    const std::string fragment = "<table>\r\n<tr>\r<td>a\nb</td>\r\r\n\n</table>\r";
    for (std::size_t first = 0; first <= fragment.size(); ++first) {
        for (std::size_t second = first; second <= fragment.size(); ++second) {
            std::string page;
            ReportPageWriter writer([&page](std::string_view bytes) { page.append(bytes); });
            writer.Write(std::string_view(fragment).substr(0, first));
            writer.Write(std::string_view(fragment).substr(first, second - first));
            writer.Write(std::string_view(fragment).substr(second));
            writer.Finish();
            EXPECT_EQ(page, ReportPage(fragment)) << first << " " << second;
        }
    }
}

}  // namespace
}  // namespace tarnwell
