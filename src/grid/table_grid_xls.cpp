// The workbook writer of the grid: the visible columns in display order, every row, each text without
// carriage returns (a line feed alone is the line break inside a cell). The fixed rows head every sheet of
// a table too long for one.

#include <string>
#include <vector>

#include "grid/table_grid.h"
#include "grid/xls_workbook.h"

namespace tarnwell {

void TTableGrid::SaveToXLS(const std::string& file_name) const {
    NoSaveProgress progress;
    SaveToXLS(file_name, progress);
}

void TTableGrid::SaveToXLS(const std::string& file_name, SaveProgress& progress) const {
    const std::vector<int> real = VisibleRealColumns();
    // A text that held a CR, without it; the writer is done with each text before it asks for the next.
    // Most cells need no copy at all.
    std::string stripped;
    auto cell = [&](std::size_t row, std::size_t col) -> std::string_view {
        std::string_view text = SaveCell(real[col], static_cast<int>(row));
        if (text.find('\r') == std::string_view::npos) return text;
        stripped.clear();
        for (char c : text) {
            if (c != '\r') stripped.push_back(c);
        }
        return stripped;
    };
    WriteXlsWorkbook(file_name, static_cast<std::size_t>(RowCount()), real.size(),
                     static_cast<std::size_t>(FixedRows()), cell, progress);
}

}  // namespace tarnwell
