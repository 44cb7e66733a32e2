// The workbook writer of the grid: the visible columns in display order, every row, each text without
// carriage returns (a line feed alone is the line break inside a cell).

#include <string>
#include <unordered_map>
#include <vector>

#include "grid/table_grid.h"
#include "grid/xls_workbook.h"

namespace tarnwell {

void TTableGrid::SaveToXLS(const std::string& file_name) const {
    const std::vector<int> real = VisibleRealColumns();
    // Texts that held a CR, without it. Kept for the whole write so every view handed out stays valid
    // however the workbook writer orders its reads; most cells need no copy at all.
    std::unordered_map<std::uint64_t, std::string> stripped;
    auto cell = [&](std::size_t row, std::size_t col) -> std::string_view {
        std::string_view text = SaveCell(real[col], static_cast<int>(row));
        if (text.find('\r') == std::string_view::npos) return text;
        std::string& copy = stripped[(std::uint64_t{row} << 32) | col];
        copy.clear();
        for (char c : text) {
            if (c != '\r') copy.push_back(c);
        }
        return copy;
    };
    WriteXlsWorkbook(file_name, static_cast<std::size_t>(RowCount()), real.size(), cell);
}

}  // namespace tarnwell
