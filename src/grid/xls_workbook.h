#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tarnwell {

// The format's limits for one sheet.
inline constexpr std::size_t kXlsMaxRows = 65536;
inline constexpr std::size_t kXlsMaxColumns = 256;

// Writes an Excel 97-2003 workbook (BIFF8 in a compound file) with one sheet of rows x columns text
// cells. cell(row, col) gives each cell's Windows-1251 text as it goes into the sheet (the caller has
// already removed what must not be there); empty texts leave the cell blank. The file is written to a
// temporary name beside the target and renamed over it, so a failure never leaves a broken workbook.
// Throws ETableGridError when the table exceeds the format's limits (before anything is written) or
// when the file cannot be written.
void WriteXlsWorkbook(const std::string& file_name, std::size_t rows, std::size_t columns,
                      const std::function<std::string_view(std::size_t row, std::size_t col)>& cell);

}  // namespace tarnwell
