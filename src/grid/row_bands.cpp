#include "grid/row_bands.h"

#include <cstdint>

#include "grid/table_grid.h"

namespace tarnwell {

RowBand BandOf(const TTableGrid& grid, int row) {
    const GridBands& bands = grid.Bands;
    // In 64 bits: two lengths near INT_MAX would overflow an int.
    const std::int64_t period = std::int64_t{bands.PrimaryLength} + bands.SecondaryLength;
    const std::int64_t offset = std::int64_t{row} - grid.FixedRows();
    if (!bands.Active || period <= 0 || offset < 0) return RowBand::kNone;
    return offset % period < bands.PrimaryLength ? RowBand::kPrimary : RowBand::kSecondary;
}

ColorValue DataCellColor(const TTableGrid& grid, int row) {
    switch (BandOf(grid, row)) {
        case RowBand::kPrimary:
            return grid.Bands.PrimaryColor;
        case RowBand::kSecondary:
            return grid.Bands.SecondaryColor;
        case RowBand::kNone:
            break;
    }
    return grid.Color;
}

}  // namespace tarnwell
