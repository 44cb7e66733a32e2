#pragma once

#include <span>
#include <string>

#include "grid/table_grid.h"

namespace tarnwell {

// Writes the HTML report page of `grid` into `file_name` and returns the page. The table holds the real
// columns `columns`, in that order: for the statistics table the report's own column choice (ChLBHTML,
// TickedColumns), for another grid the columns it shows. The grid itself is not changed.
// The bare table fragment goes into `temp_path` first (whatever stood there is deleted and the file made
// anew) and stays there; `file_name` may be that very path. The page goes to a temporary file beside
// `file_name` that replaces it once complete, so a failure leaves the previous report as it was.
//
// Errors: ETableGridError "Cannot Create file <temp_path>" when the fragment cannot be written (the target
// is not touched); Error "Cannot create file <file_name>" when the page cannot be created or put in place
// (missing folder, no right, a read-only file), and "Cannot write file <file_name>: <reason>" when writing
// it fails (a full disk).
// Named colours of the grid are resolved through `colors`: the window's colour scheme.
std::string WriteReportPage(const std::string& file_name, const TTableGrid& grid, std::span<const int> columns,
                            const std::string& temp_path, const ColorScheme& colors = HeadlessColorScheme());

}  // namespace tarnwell
