#pragma once

#include <QSortFilterProxyModel>

namespace tarnwell {

class GridModel;

// The statistics page's sorting, in the view only, by the rule of stats/statistics_sort.h: a click on a
// column header sorts the rows shown by that column, a second click reverses them, the totals row stays
// last. The grid underneath keeps its order.
class StatisticsSort final : public QSortFilterProxyModel {
public:
    StatisticsSort(GridModel& source, QObject* parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Row bands by the rows' shown order, not the table's.
    QVariant data(const QModelIndex& index, int role) const override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    GridModel& grid_model_;
};

}  // namespace tarnwell
