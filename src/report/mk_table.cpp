#include "report/mk_table.h"

#include "grid/html_table.h"
#include "grid/output_file.h"
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
    WriteNewFile(temp_path, fragment);
    std::string page = ReportPage(fragment);
    try {
        WriteNewFile(file_name, page);
    } catch (const ETableGridError& e) {
        if (std::string_view(e.what()) == "Cannot Create file " + file_name) {
            throw Error("Cannot create file " + file_name);
        }
        throw;
    }
    return page;
}

}  // namespace tarnwell
