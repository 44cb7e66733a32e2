#include "gui/statistics_sort.h"

#include <array>
#include <cmath>
#include <utility>

#include "gui/grid_model.h"
#include "stats/statistics_table.h"
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

StatisticsSort::StatisticsSort(GridModel& source, QObject* parent)
    : QSortFilterProxyModel(parent), grid_model_(source) {
    setSourceModel(&source);
    // Rows keep the grid's order until the user sorts.
    sort(-1);
}

QVariant StatisticsSort::headerData(int section, Qt::Orientation orientation, int role) const {
    // The first click on a column sorts it upwards.
    if (role == Qt::InitialSortOrderRole) return Qt::AscendingOrder;
    return QSortFilterProxyModel::headerData(section, orientation, role);
}

bool StatisticsSort::IsTotals(const QModelIndex& source_index) const {
    const TTableGrid& grid = grid_model_.Grid();
    const int row = grid_model_.GridRow(source_index.row());
    return row == grid.RowCount() - 1 && grid.GetCellEx(stat_col::Login, row) == stat_text::kTotals;
}

bool StatisticsSort::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    // The totals stay last whichever way the rows go: the proxy reverses a descending sort by asking
    // lessThan(right, left).
    const bool descending = sortOrder() == Qt::DescendingOrder;
    if (IsTotals(left)) return descending;
    if (IsTotals(right)) return !descending;

    const QVariant left_box = left.data(Qt::CheckStateRole);
    const QVariant right_box = right.data(Qt::CheckStateRole);
    if (left_box.isValid() || right_box.isValid()) return left_box.toInt() < right_box.toInt();

    const TTableGrid& grid = grid_model_.Grid();
    const std::string_view left_text =
        grid.GetCellEx(grid_model_.RealColumn(left.column()), grid_model_.GridRow(left.row()));
    const std::string_view right_text =
        grid.GetCellEx(grid_model_.RealColumn(right.column()), grid_model_.GridRow(right.row()));
    const std::optional<double> left_value = SortValue(left_text);
    const std::optional<double> right_value = SortValue(right_text);
    if (left_value && right_value) return *left_value < *right_value;
    if (left_value || right_value) return left_value.has_value();  // numbers before other texts
    return QString::localeAwareCompare(left.data().toString(), right.data().toString()) < 0;
}

}  // namespace tarnwell
