#pragma once

#include <string>
#include <vector>

#include "grid/table_grid.h"

namespace tarnwell {

// The column choices of the statistics table: the report's (ChLBHTML) and the screen's (ChLBTable), each
// the items' states in column order.
struct ReportColumns {
    TTableGrid& statistics;
    std::vector<bool> html;
    std::vector<bool> screen;
};

// Writes the HTML report page of `grid` into `file_name` and returns the page. The statistics table shows
// the report's columns while the page is made and the screen's again afterwards, also when the writing
// fails; the grid written may be the statistics table or another one (then written with all its columns).
// The bare table fragment goes into `temp_path` first (whatever stood there is deleted and the file made
// anew) and stays there; `file_name` may be that very path. The page goes to a temporary file beside
// `file_name` that replaces it once complete, so a failure leaves the previous report as it was.
//
// Errors: ETableGridError "Cannot Create file <temp_path>" when the fragment cannot be written (the target
// is not touched); Error "Cannot create file <file_name>" when the page cannot be created or put in place
// (missing folder, no right, a read-only file), and "Cannot write file <file_name>: <reason>" when writing
// it fails (a full disk).
// Named colours of the grid are resolved through `colors`: the window's colour scheme.
std::string MkTable(const std::string& file_name, const TTableGrid& grid, const ReportColumns& columns,
                    const std::string& temp_path, const ColorScheme& colors = HeadlessColorScheme());

}  // namespace tarnwell
