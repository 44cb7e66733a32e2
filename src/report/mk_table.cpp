#include "report/mk_table.h"

#include "files/output_file.h"
#include "grid/html_table.h"
#include "grid/table_grid_error.h"
#include "report/report_page.h"
#include "stats/statistics_steps.h"

namespace tarnwell {
namespace {

// Shows the report's columns for its life, the screen's again at its end, whatever ends it.
class ReportColumnChoice {
public:
    explicit ReportColumnChoice(const ReportColumns& columns) : columns_(columns) {
        HideCol(columns_.statistics, columns_.html);
    }
    ~ReportColumnChoice() { HideCol(columns_.statistics, columns_.screen); }
    ReportColumnChoice(const ReportColumnChoice&) = delete;
    ReportColumnChoice& operator=(const ReportColumnChoice&) = delete;

private:
    const ReportColumns& columns_;
};

}  // namespace

std::string MkTable(const std::string& file_name, const TTableGrid& grid, const ReportColumns& columns,
                    const std::string& temp_path, const ColorScheme& colors) {
    ReportColumnChoice choice(columns);
    // The fragment is kept in memory as well as written: the page is made from exactly what the
    // temporary file received, without reading it back.
    const std::string fragment = BuildHtmlTable(grid, colors);
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
