#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "text/save_progress.h"

namespace tarnwell {

// The format's limits for one sheet.
inline constexpr std::size_t kXlsMaxRows = 65536;
inline constexpr std::size_t kXlsMaxColumns = 256;

// Writes an Excel 97-2003 workbook (BIFF8 in a compound file) of rows x columns text cells. cell(row, col)
// gives each cell's Windows-1251 text as it goes into the sheet (the caller has already removed what must
// not be there); empty texts leave the cell blank. The view returned need only stay valid until the next
// call; each cell is asked for twice.
//
// A table of more than kXlsMaxRows rows goes on over further sheets ("Лист1", "Лист2", ...) of
// kXlsMaxRows rows each: every further sheet starts with the table's first header_rows rows again (the
// fixed header row), then the next rows of the table. header_rows of kXlsMaxRows or more repeat nothing.
//
// Memory does not grow with the cells: the file is written as it is made, and only the table of distinct
// texts is kept. The file is written through a temporary file beside the target and renamed over it, so a
// failure never leaves a broken workbook. Throws ETableGridError when the table exceeds the format's limits (more than
// kXlsMaxColumns columns, a text too long for a cell, a workbook over 2 GB), before anything is written,
// and when the file cannot be written.
void WriteXlsWorkbook(const std::string& file_name, std::size_t rows, std::size_t columns, std::size_t header_rows,
                      const std::function<std::string_view(std::size_t row, std::size_t col)>& cell);
// The same with its progress shown, in per mille of two passes over the rows (one gathers the texts, one
// writes the cells); the save stops with ESaveCancelled when the progress says so, leaving the old file.
void WriteXlsWorkbook(const std::string& file_name, std::size_t rows, std::size_t columns, std::size_t header_rows,
                      const std::function<std::string_view(std::size_t row, std::size_t col)>& cell,
                      SaveProgress& progress);

}  // namespace tarnwell
