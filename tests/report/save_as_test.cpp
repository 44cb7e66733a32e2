#include <gtest/gtest.h>

#include "report/save_as.h"

namespace tarnwell {
namespace {

TEST(AddExt, AppendsTheTypesExtensionUnlessTheNameEndsInExactlyIt) {
    struct Case {
        const char* name;
        const char* default_ext;
        const char* proposed;
    };
    const Case cases[] = {
        {"C:\\logs\\wg.log", "htm", "C:\\logs\\wg.log.htm"},
        {"C:\\logs\\wg.htm", "htm", "C:\\logs\\wg.htm"},
        {"C:\\logs\\wg.HTM", "htm", "C:\\logs\\wg.HTM.htm"},
        {"C:\\logs\\wg.html", "htm", "C:\\logs\\wg.html.htm"},
        {"", "htm", ".htm"},
        {"C:\\logs\\wg.log", "xls", "C:\\logs\\wg.log.xls"},
        {"C:\\logs\\wg.xls", "xls", "C:\\logs\\wg.xls"},
        {"C:\\logs\\wg.htm", "xls", "C:\\logs\\wg.htm.xls"},
        // Any default extension other than "xls" means the page.
        {"C:\\logs\\wg.xls", "", "C:\\logs\\wg.xls.htm"},
        // A dot in a folder name is no extension of the file.
        {"C:\\logs.htm\\wg", "htm", "C:\\logs.htm\\wg.htm"},
        {"/var/log.xls/wg", "xls", "/var/log.xls/wg.xls"},
        {"C:.htm", "htm", "C:.htm"},
    };
    for (const Case& c : cases) EXPECT_EQ(AddExt(c.name, c.default_ext), c.proposed) << c.name << " " << c.default_ext;
}

TEST(ExtForFileType, FirstTypeIsThePageEveryOtherTheWorkbook) {
    EXPECT_EQ(ExtForFileType(1), "htm");
    EXPECT_EQ(ExtForFileType(2), "xls");
    EXPECT_EQ(ExtForFileType(0), "xls");
}

}  // namespace
}  // namespace tarnwell
