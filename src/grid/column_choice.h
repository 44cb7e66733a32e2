#pragma once

#include <vector>

namespace tarnwell {

// The real columns, in order, that are left when every column whose item in `ticked` (by real column) is
// unticked is hidden in turn from the first on: a column without an item stays, as does any column the
// grid cannot hide (256 and above), and the last column left is never dropped. The screen's column
// choice hides exactly these columns' complement; the report writes exactly these columns.
std::vector<int> TickedColumns(int real_count, const std::vector<bool>& ticked);

}  // namespace tarnwell
