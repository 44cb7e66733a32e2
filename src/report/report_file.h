#pragma once

#include <span>
#include <string>

#include "grid/table_grid.h"
#include "text/save_progress.h"

namespace tarnwell {

// Writes the HTML report page of `grid` into `file_name` and returns the page (for the table mail, which
// sends it). The table holds the real columns `columns`, in that order: for the statistics table the
// report's own column choice (ChLBHTML, TickedColumns), for another grid the columns it shows. The grid
// itself is not changed.
// The bare table fragment goes into `temp_path` (whatever stood there is deleted and the file made anew)
// and stays there; `file_name` may be that very path. The page goes to a temporary file beside `file_name`
// that replaces it once complete, so a failure leaves the previous report as it was. Both are written as
// they are made, in one pass over the grid.
//
// Errors: ETableGridError "Cannot Create file <temp_path>" when the fragment's file cannot be created (the
// target is not touched), "Cannot write file <temp_path>: <reason>" when writing it fails; Error "Cannot
// create file <file_name>" when the page cannot be created or put in place (missing folder, no right, a
// read-only file), and "Cannot write file <file_name>: <reason>" when writing it fails (a full disk). The
// temporary file then keeps what was written of the fragment.
// Named colours of the grid are resolved through `colors`: the window's colour scheme.
std::string WriteReportPage(const std::string& file_name, const TTableGrid& grid, std::span<const int> columns,
                            const std::string& temp_path, const ColorScheme& colors = HeadlessColorScheme());

// The same page without keeping it: memory does not grow with the table, for a log of any size. The
// progress shows the rows written; when it says the user asked to stop, the save ends with ESaveCancelled,
// the previous file stays as it was and the unfinished temporary file is removed.
void SaveReportPage(const std::string& file_name, const TTableGrid& grid, std::span<const int> columns,
                    const std::string& temp_path, const ColorScheme& colors, SaveProgress& progress);

}  // namespace tarnwell
