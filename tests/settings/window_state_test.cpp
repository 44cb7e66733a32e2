#include "settings/window_state.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace tarnwell {
namespace {

TEST(WindowState, RoundTripsThroughWindowIni) {
    testing_support::TempFolder folder;
    WindowState state;
    state.geometry = WindowRect{-20, 40, 966, 563};
    state.dpi = 144;
    state.maximized = true;
    state.splitters = {180, 0, 420};
    state.sort_column = 3;
    state.sort_descending = true;
    SaveWindowState(state, folder.path().string());

    const WindowState back = ReadWindowState(folder.path().string());
    EXPECT_EQ(back.geometry, state.geometry);
    EXPECT_EQ(back.dpi, 144);
    EXPECT_TRUE(back.maximized);
    EXPECT_EQ(back.splitters, state.splitters);
    EXPECT_EQ(back.sort_column, 3);
    EXPECT_TRUE(back.sort_descending);
}

// A hostile or damaged file never keeps the window from opening: each bad key falls back on its own.
TEST(WindowState, BadKeysFallBackOneByOne) {
    struct Case {
        const char* file;
        bool geometry;
        std::vector<int> splitters;
        int sort_column;
        int dpi;
    };
    const Case cases[] = {
        {"", false, {}, -1, 96},
        {"[Window]\nLeft=1\nTop=2\nWidth=300\nHeight=200\n", true, {}, -1, 96},
        {"[Window]\nLeft=1\nTop=2\nWidth=0\nHeight=200\nSplitters=5,6\n", false, {5, 6}, -1, 96},
        {"[Window]\nLeft=x\nTop=2\nWidth=300\nHeight=200\nSortColumn=999\n", false, {}, -1, 96},
        {"[Window]\nWidth=99999999999\nSplitters=5,-6\nSortColumn=4\nDpi=0\n", false, {}, 4, 96},
        {"[Window]\nSplitters=5,\nDpi=120\n", false, {}, -1, 120},
        {"[Window]\nSplitters=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17\n", false, {}, -1, 96},
        {"\xFF\xFE garbage \x00 [Window\n=\n", false, {}, -1, 96},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        testing_support::TempFolder folder;
        if (*c.file) folder.Write("window.ini", c.file);
        const WindowState state = ReadWindowState(folder.path().string());
        EXPECT_EQ(state.geometry.has_value(), c.geometry);
        EXPECT_EQ(state.splitters, c.splitters);
        EXPECT_EQ(state.sort_column, c.sort_column);
        EXPECT_EQ(state.dpi, c.dpi);
    }
}

// A window closed on a screen that is gone, or larger than the screen now, comes back whole on it.
TEST(WindowState, KeepOnScreenMovesAndShrinksIntoTheWorkArea) {
    const WindowRect area{0, 0, 1280, 984};
    struct Case {
        WindowRect window, expected;
    };
    const Case cases[] = {
        {{100, 80, 644, 375}, {100, 80, 644, 375}},       // on the screen: as it is
        {{3000, 2000, 644, 375}, {636, 609, 644, 375}},   // on a screen that is gone
        {{-500, -40, 644, 375}, {0, 0, 644, 375}},        // above and left of it
        {{900, 800, 966, 563}, {314, 421, 966, 563}},     // partly off at 144 dpi
        {{10, 10, 2000, 1200}, {0, 0, 1280, 984}},        // larger than the screen
    };
    for (const Case& c : cases) EXPECT_EQ(KeepOnScreen(c.window, area), c.expected);
    EXPECT_EQ(KeepOnScreen({5, 5, 644, 375}, {1280, 0, 1920, 1080}), (WindowRect{1280, 5, 644, 375}));
}

TEST(WindowState, ScaleRectFollowsTheDpi) {
    EXPECT_EQ(ScaleRect({100, 80, 644, 375}, 96, 144), (WindowRect{150, 120, 966, 563}));
    EXPECT_EQ(ScaleRect({150, 120, 966, 563}, 144, 96), (WindowRect{100, 80, 644, 375}));
}

}  // namespace
}  // namespace tarnwell
