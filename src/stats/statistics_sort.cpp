#include "stats/statistics_sort.h"

#include <algorithm>
#include <array>
#include <numeric>
#include <utility>

#include "stats/statistics_table.h"
#include "text/cp1251_collation.h"
#include "text/cp1251_literal.h"

namespace tarnwell {

using namespace literals;

std::optional<double> SortValue(std::string_view text) {
    std::size_t at = 0;
    const bool negative = at < text.size() && text[at] == '-';
    if (negative) ++at;
    const std::size_t digits_start = at;
    double value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') value = value * 10 + (text[at++] - '0');
    if (at == digits_start) return std::nullopt;
    if (at < text.size() && text[at] == ',') {
        double scale = 0.1;
        for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at, scale /= 10) {
            value += (text[at] - '0') * scale;
        }
    }
    const std::string_view unit = text.substr(at);
    static const std::array<std::pair<std::string_view, double>, 5> kUnits = {{
        {"", 1},
        {" кб."_cp, 1},
        {" мб."_cp, 1024.0},
        {" гб."_cp, 1024.0 * 1024},
        {" тб."_cp, 1024.0 * 1024 * 1024},
    }};
    for (const auto& [name, factor] : kUnits) {
        if (unit == name) return (negative ? -value : value) * factor;
    }
    return std::nullopt;
}

bool IsTotalsRow(const TTableGrid& grid, int row) {
    return row == grid.RowCount() - 1 && grid.GetCellEx(stat_col::Login, row) == stat_text::kTotals;
}

bool StatisticsCellLess(const TTableGrid& grid, int col, int a, int b) {
    bool a_checked = false;
    bool b_checked = false;
    const bool a_box = grid.GetCheckBoxState(col, a, a_checked);
    const bool b_box = grid.GetCheckBoxState(col, b, b_checked);
    if (a_box || b_box) return (a_box && a_checked ? 1 : 0) < (b_box && b_checked ? 1 : 0);

    const std::string_view a_text = grid.GetCellEx(col, a);
    const std::string_view b_text = grid.GetCellEx(col, b);
    const std::optional<double> a_value = SortValue(a_text);
    const std::optional<double> b_value = SortValue(b_text);
    if (a_value && b_value) return *a_value < *b_value;
    if (a_value || b_value) return a_value.has_value();  // numbers before other texts
    return CollateCp1251(a_text, b_text) < 0;
}

bool StatisticsRowBefore(const TTableGrid& grid, int col, SortOrder order, int a, int b) {
    if (IsTotalsRow(grid, a)) return false;
    if (IsTotalsRow(grid, b)) return true;
    return order == SortOrder::kAscending ? StatisticsCellLess(grid, col, a, b) : StatisticsCellLess(grid, col, b, a);
}

std::vector<int> SortedStatisticsRows(const TTableGrid& grid, int col, SortOrder order) {
    const int first = std::min(grid.FixedRows(), grid.RowCount());
    std::vector<int> rows(static_cast<std::size_t>(grid.RowCount() - first));
    std::iota(rows.begin(), rows.end(), first);
    std::stable_sort(rows.begin(), rows.end(),
                     [&](int a, int b) { return StatisticsRowBefore(grid, col, order, a, b); });
    return rows;
}

}  // namespace tarnwell
