#include "form/row_filter.h"

#include <algorithm>
#include <numeric>

namespace tarnwell {

RowFilter RowFilter::AllRows(const TTableGrid& grid) {
    std::vector<int> rows(static_cast<std::size_t>(grid.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    return RowFilter(std::move(rows));
}

std::optional<int> RowFilter::ShownRow(int real_row) const {
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), real_row);
    if (it == rows_.end() || *it != real_row) return std::nullopt;
    return static_cast<int>(it - rows_.begin());
}

}  // namespace tarnwell
