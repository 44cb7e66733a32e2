#include "gui/statistics_sort.h"

#include "gui/grid_model.h"
#include "stats/statistics_sort.h"

namespace tarnwell {

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

QVariant StatisticsSort::data(const QModelIndex& index, int role) const {
    if (role == Qt::BackgroundRole && index.isValid()) return grid_model_.Background(mapToSource(index), index.row());
    return QSortFilterProxyModel::data(index, role);
}

bool StatisticsSort::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    // The proxy sorts stably with lessThan(left, right) upwards and lessThan(right, left) downwards; the
    // rule says which row is shown first in the order chosen, so downwards it is asked the other way round.
    const TTableGrid& grid = grid_model_.Grid();
    const int col = grid_model_.RealColumn(left.column());
    const int left_row = grid_model_.GridRow(left.row());
    const int right_row = grid_model_.GridRow(right.row());
    if (sortOrder() == Qt::AscendingOrder) {
        return StatisticsRowBefore(grid, col, SortOrder::kAscending, left_row, right_row);
    }
    return StatisticsRowBefore(grid, col, SortOrder::kDescending, right_row, left_row);
}

}  // namespace tarnwell
