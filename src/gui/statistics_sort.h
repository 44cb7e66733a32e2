#pragma once

#include <QSortFilterProxyModel>
#include <optional>
#include <string_view>

namespace tarnwell {

class GridModel;

// The statistics page's sorting, in the view only: a click on a column header sorts the rows shown by
// that column, a second click reverses them. The grid underneath keeps its order, so the letters, the
// report and the stored "Послать" flags, which work on the grid, are untouched by it.
//
// Numbers sort by their value: traffic by its display text with the unit ("1,5 мб." above "900 кб."), time
// on line and limits as plain numbers; texts that are no number ("Не установлено") come after the numbers,
// and texts compare alphabetically; the "Послать" boxes unticked before ticked. The totals row "Сумма"
// stays last either way.
class StatisticsSort final : public QSortFilterProxyModel {
public:
    StatisticsSort(GridModel& source, QObject* parent = nullptr);

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool IsTotals(const QModelIndex& source_index) const;

    GridModel& grid_model_;
};

// The value of a display text for sorting: "1234", "-0,5", "594,28 мб." (in kilobytes: кб. 1, мб. 1024,
// гб. 1024², тб. 1024³). Nothing for a text that is no number.
std::optional<double> SortValue(std::string_view cp1251);

}  // namespace tarnwell
