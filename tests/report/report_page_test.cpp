#include <gtest/gtest.h>

#include "report/report_page.h"

namespace tarnwell {
namespace {

TEST(SplitLines, EndsAtCrLfCrOrLf) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\r\nb", {"a", "", "b"}},
        {"\r\r\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(ReportPage, FragmentLinesEndInCrLfBetweenHeadAndClosingLine) {
    const std::string page = ReportPage("<table>\n<tr>\r<td>x</td>\r\n</table>");
    const std::string body = page.substr(page.find("<body>\r\n") + 8);
    EXPECT_EQ(body, "<table>\r\n<tr>\r\n<td>x</td>\r\n</table>\r\n</body></html>\r\n");
    EXPECT_EQ(ReportPage(""), page.substr(0, page.find("<body>\r\n") + 8) + "</body></html>\r\n");
}

}  // namespace
}  // namespace tarnwell
