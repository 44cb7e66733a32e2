#include "grid/row_bands.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "grid/table_grid.h"

namespace tarnwell {
namespace {

// The bands of rows 0 to 7 of a grid with one fixed row: '-' none, 'P' primary, 'S' secondary.
std::string Bands(const GridBands& bands, int fixed_rows = 1) {
    TTableGrid grid(2, 8);
    grid.SetFixedRows(fixed_rows);
    grid.Bands = bands;
    std::string shown;
    for (int row = 0; row < grid.RowCount(); ++row) {
        const RowBand band = BandOf(grid, row);
        shown += band == RowBand::kPrimary ? 'P' : band == RowBand::kSecondary ? 'S' : '-';
    }
    return shown;
}

TEST(BandOf, LengthsAndPeriods) {
    const ColorValue p = ColorValue::Rgb(1, 1, 1);
    const ColorValue s = ColorValue::Rgb(2, 2, 2);
    const struct {
        GridBands bands;
        int fixed_rows;
        const char* expected;
    } cases[] = {
        {{false, p, 1, s, 1}, 1, "--------"},             // not active
        {{true, p, 1, s, 1}, 1, "-PSPSPSP"},              // from the first row under the header
        {{true, p, 1, s, 1}, 3, "---PSPSP"},              // ... however many rows are fixed
        {{true, p, 2, s, 1}, 1, "-PPSPPSP"},              //
        {{true, p, 0, s, 2}, 1, "-SSSSSSS"},              // no primary rows
        {{true, p, 0, s, 0}, 1, "--------"},              // a period of 0 colours nothing
        {{true, p, -3, s, 1}, 1, "--------"},             // ... nor does one below it
        {{true, p, 3, s, -1}, 1, "-PPPPPPP"},             // a period of 2, all of it primary
        {{true, p, INT_MAX, s, INT_MAX}, 1, "-PPPPPPP"},  // lengths whose sum an int cannot hold
        {{true, p, INT_MIN, s, INT_MIN}, 1, "--------"},  //
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Bands(c.bands, c.fixed_rows), c.expected)
            << c.bands.Active << " " << c.bands.PrimaryLength << "/" << c.bands.SecondaryLength;
    }
}

TEST(DataCellColor, BandColourElseTheGridsColour) {
    TTableGrid grid(2, 4);
    grid.Color = ColorValue::Rgb(9, 9, 9);
    grid.Bands = GridBands{true, ColorValue::Rgb(1, 1, 1), 1, ColorValue::Rgb(2, 2, 2), 1};
    EXPECT_EQ(DataCellColor(grid, 1), ColorValue::Rgb(1, 1, 1));
    EXPECT_EQ(DataCellColor(grid, 2), ColorValue::Rgb(2, 2, 2));
    grid.Bands.Active = false;
    EXPECT_EQ(DataCellColor(grid, 1), ColorValue::Rgb(9, 9, 9));
}

}  // namespace
}  // namespace tarnwell
