#include "report/report_file.h"

#include "files/output_file.h"
#include "grid/html_table.h"
#include "grid/table_grid_error.h"
#include "report/report_page.h"

namespace tarnwell {
std::string WriteReportPage(const std::string& file_name, const TTableGrid& grid, std::span<const int> columns,
                            const std::string& temp_path, const ColorScheme& colors) {
    // The fragment is kept in memory as well as written: the page is made from exactly what the
    // temporary file received, without reading it back.
    const std::string fragment = BuildHtmlTable(grid, columns, colors);
    // Whatever stands at the temporary name goes first and the file is made anew, so that a link placed
    // there cannot lead the fragment into another file, and a read-only leftover of another account does
    // not block the report.
    RemoveFile(temp_path);
    try {
        WriteNewFile(temp_path, fragment);
    } catch (const EOutputFile& e) {
        throw GridFileError(temp_path, e);
    }
    std::string page = ReportPage(fragment);
    // The page replaces the target only once it is complete: a full disk leaves the last report whole.
    try {
        ReplaceFile(file_name, page);
    } catch (const EOutputFile& e) {
        if (e.step() == EOutputFile::Step::kWrite) throw Error("Cannot write file " + file_name + ": " + e.what());
        throw Error("Cannot create file " + file_name);
    }
    return page;
}

}  // namespace tarnwell
