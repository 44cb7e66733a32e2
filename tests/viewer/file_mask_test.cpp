#include "viewer/file_mask.h"

#include <gtest/gtest.h>

namespace tarnwell {
namespace {

struct MaskCase {
    const char* name;
    const char* mask;
    bool matches;
};

const MaskCase kMaskCases[] = {
    {"wg.log", "*.*", true},
    {"notes", "*.*", true},  // "*.*" takes names without an extension too
    {".hidden", "*.*", true},
    {"a.b.c", "*.*", true},
    {"wg.log", "*.log", true},
    {"WG.LOG", "*.log", true},  // Latin letters without regard to case
    {"wg.log.1", "*.log", false},
    {"wg.logs", "*.log", false},
    {"log", "*.log", false},
    {"readme", "readme.*", true},
    {"readme.txt", "readme.*", true},
    {"readmeX", "readme.*", false},
    {"a.txt", "?.txt", true},
    {"ab.txt", "?.txt", false},
    {"2024-03.dat", "*-??.dat", true},
    {"x.dat", "*.txt;*.dat", true},
    {"x.log", "*.txt;*.dat", false},
    {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},  // no blow-up on many stars
    {"\xEE\xF2\xF7\xB8\xF2.log", "*.log", true},                      // Windows-1251 names
    {"x.log", "", false},
};

TEST(MatchesMask, Table) {
    for (const MaskCase& c : kMaskCases) {
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
    }
}

}  // namespace
}  // namespace tarnwell
