#include "report/report_file.h"

#include <optional>

#include "files/output_file.h"
#include "grid/html_table.h"
#include "grid/table_grid_error.h"
#include "report/report_page.h"

namespace tarnwell {
namespace {

Error PageFileError(const std::string& file_name, const EOutputFile& e) {
    if (e.step() == EOutputFile::Step::kWrite) return Error("Cannot write file " + file_name + ": " + e.what());
    return Error("Cannot create file " + file_name);
}

// The fragment and the page are made in one pass over the grid and written as they are made: each chunk of
// the fragment goes to the temporary file as it stands and, as lines of the page, to the target's
// replacement. `page_copy`, when given, receives the page as well.
void WritePage(const std::string& file_name, const TTableGrid& grid, std::span<const int> columns,
               const std::string& temp_path, const ColorScheme& colors, SaveProgress& progress,
               std::string* page_copy) {
    // Whatever stands at the temporary name goes first and the file is made anew, so that a link placed
    // there cannot lead the fragment into another file, and a read-only leftover of another account does
    // not block the report.
    RemoveFile(temp_path);
    std::optional<NewFile> fragment_file;
    try {
        fragment_file.emplace(temp_path);
    } catch (const EOutputFile& e) {
        throw GridFileError(temp_path, e);
    }
    // The page replaces the target only once it is complete: a full disk, an error or a cancelled save
    // leaves the last report whole.
    std::optional<FileReplacement> page_file;
    try {
        page_file.emplace(file_name);
    } catch (const EOutputFile& e) {
        throw PageFileError(file_name, e);
    }
    ReportPageWriter page([&](std::string_view bytes) {
        try {
            page_file->Write(bytes);
        } catch (const EOutputFile& e) {
            throw PageFileError(file_name, e);
        }
        if (page_copy) page_copy->append(bytes);
    });
    auto write = [&](std::string& chunk) {
        try {
            fragment_file->Write(chunk);
        } catch (const EOutputFile& e) {
            throw GridFileError(temp_path, e);
        }
        page.Write(chunk);
        chunk.clear();
    };

    try {
        std::string chunk;
        chunk.reserve(2 * kHtmlChunk);
        {
            SaveMeter meter(progress, static_cast<std::uint64_t>(grid.RowCount()));
            WriteHtmlTable(grid, columns, colors, chunk, write, &meter);
        }
        write(chunk);
    } catch (const ESaveCancelled&) {
        // The fragment of a save that was stopped is of no use to anyone.
        fragment_file.reset();
        RemoveFile(temp_path);
        throw;
    }
    try {
        fragment_file->Close();
    } catch (const EOutputFile& e) {
        throw GridFileError(temp_path, e);
    }
    page.Finish();
    try {
        page_file->Commit();
    } catch (const EOutputFile& e) {
        throw PageFileError(file_name, e);
    }
}

}  // namespace

std::string WriteReportPage(const std::string& file_name, const TTableGrid& grid, std::span<const int> columns,
                            const std::string& temp_path, const ColorScheme& colors) {
    NoSaveProgress progress;
    std::string page;
    WritePage(file_name, grid, columns, temp_path, colors, progress, &page);
    return page;
}

void SaveReportPage(const std::string& file_name, const TTableGrid& grid, std::span<const int> columns,
                    const std::string& temp_path, const ColorScheme& colors, SaveProgress& progress) {
    WritePage(file_name, grid, columns, temp_path, colors, progress, nullptr);
}

}  // namespace tarnwell
