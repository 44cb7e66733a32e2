// Find, filter and copy over the tables of the viewer, the statistics and the limits.

#include <algorithm>
#include <string>

#include "app/tf_send.h"
#include "text/cp1251_literal.h"
#include "viewer/cell_copy.h"
#include "viewer/rows_holding.h"
#include "viewer/table_find.h"

namespace tarnwell {

using namespace literals;

namespace {

// Rows below the header, as the administrator counts them: the first data row is 1.
int DataRows(const TTableGrid& grid) {
    return std::max(grid.RowCount() - grid.FixedRows(), 0);
}

}  // namespace

void TFSend::PFindOpen() {
    if (c_.PageTable(c_.PC1.ActivePageIndex()) != nullptr) c_.PFind.Visible = true;
}

void TFSend::PFindClose() {
    c_.PFind.Visible = false;
}

void TFSend::SBFindNextClick() {
    FindInPageTable(true);
}

void TFSend::SBFindPrevClick() {
    FindInPageTable(false);
}

void TFSend::FindInPageTable(bool next) {
    GridControl* grid = c_.PageTable(c_.PC1.ActivePageIndex());
    if (grid == nullptr || c_.EFind.Text.empty()) return;
    const FindRequest request{c_.EFind.Text, c_.CBWholeCell.Checked ? FindScope::kWholeCell : FindScope::kPartOfCell,
                              next ? FindDirection::kNext : FindDirection::kPrevious};
    const RowFilter* shown = grid->Filter();
    // The search starts after the active cell, which the grid numbers by its shown rows.
    GridCell from = grid->Active();
    if (from.row >= 0 && from.row < grid->ShownRowCount()) from.row = grid->GridRow(from.row);

    const std::optional<FoundCell> found = FindCell(*grid, request, from, shown);
    if (!found) {
        c_.StatBar.ShowOutcome(std::string("Не найдено: «"_cp) + c_.EFind.Text + std::string("»"_cp));
        return;
    }
    const int row = found->cell.row;
    grid->SelectCell({found->cell.col, shown ? shown->ShownRow(row).value_or(-1) : row});
    std::string outcome = std::string("Найдено: строка "_cp) + std::to_string(row - grid->FixedRows() + 1) +
                          std::string(" из "_cp) + std::to_string(DataRows(*grid));
    if (found->wrapped) {
        outcome += next ? std::string(" (поиск продолжен с начала таблицы)"_cp)
                        : std::string(" (поиск продолжен с конца таблицы)"_cp);
    }
    c_.StatBar.ShowOutcome(outcome);
}

void TFSend::EFilterAccept() {
    ApplyViewerFilter();
    const int data_rows = DataRows(c_.SG1);
    if (c_.EFilter.Text.empty()) {
        c_.StatBar.ShowOutcome(std::string("Показаны все строки: "_cp) + std::to_string(data_rows));
    }
}

// Emptying the box costs no pass over the table, so it shows every row at once; a text waits for Enter,
// as a pass over a large log takes a moment.
void TFSend::EFilterChange() {
    if (c_.EFilter.Text.empty() && c_.SG1.Filter() != nullptr) EFilterAccept();
}

void TFSend::ApplyViewerFilter() {
    if (c_.EFilter.Text.empty()) {
        c_.SG1.SetFilter(std::nullopt);
        return;
    }
    RowFilter rows = RowsHolding(c_.SG1, c_.EFilter.Text);
    const int shown = rows.Count() - std::min(c_.SG1.FixedRows(), rows.Count());
    c_.SG1.SetFilter(std::move(rows));
    c_.StatBar.ShowOutcome(std::string("Фильтр «"_cp) + c_.EFilter.Text + std::string("»: показано строк "_cp) +
                           std::to_string(shown) + std::string(" из "_cp) + std::to_string(DataRows(c_.SG1)));
}

void TFSend::CopySelectedCells(GridControl& grid) {
    const std::string text = tarnwell::CopyCells(grid, grid.Selection(), grid.Filter());
    if (!text.empty()) host_.SetClipboardText(text);
}

}  // namespace tarnwell
