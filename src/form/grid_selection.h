#pragma once

namespace tarnwell {

// A cell as a window shows it: display column (hidden columns not counted) and row.
struct GridCell {
    int col = -1;
    int row = -1;

    friend bool operator==(const GridCell&, const GridCell&) = default;
};

// A block of selected cells: display columns left to right and rows top to bottom, both ends included
// (in either order). With a filter the rows are the filter's shown rows, as a window numbers them.
struct CellRange {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    friend bool operator==(const CellRange&, const CellRange&) = default;
};

}  // namespace tarnwell
