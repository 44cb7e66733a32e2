#pragma once

#include "grid/color.h"

namespace tarnwell {

class TTableGrid;

// The band a row of data is drawn in: with Bands active, PrimaryLength rows in the primary colour and
// then SecondaryLength rows in the secondary one, over and over from the first row below the fixed rows.
// A period (the two lengths together) of 0 or less colours nothing. The HTML writer and both windows draw
// the bands by this one rule.
enum class RowBand { kNone, kPrimary, kSecondary };

// The band of a row below the fixed rows (kNone for a fixed row).
RowBand BandOf(const TTableGrid& grid, int row);

// The background of a cell of that row outside the fixed rows and columns: its band's colour, else the
// grid's Color.
ColorValue DataCellColor(const TTableGrid& grid, int row);

}  // namespace tarnwell
