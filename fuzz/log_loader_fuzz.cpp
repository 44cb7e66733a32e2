// The log loader on any bytes: every cell it shows equals the field of its line found the plain way
// (tests/viewer/plain_lines.h), and the row and column counts are the ones those lines give; the same
// when the bytes are cut into stretches at line starts, as a large file is for the worker threads.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "files/native_path.h"
#include "fuzz_check.h"
#include "grid/table_grid.h"
#include "support/temp_folder.h"
#include "text/load_progress.h"
#include "viewer/plain_lines.h"
#include "viewer/text_table_load.h"
#include "viewer/to_sg.h"

namespace {

void CheckLoad(const tarnwell::TTableGrid& grid, const std::string& text, const tarnwell::PlainLoad& expected) {
    using namespace tarnwell;
    using tarnwell::fuzzing::Require;
    Require(grid.RowCount() == (expected.rows > 0 ? expected.rows : 5),
            "the rows are the lines up to the last counted");
    Require(grid.ColCount() == std::max(expected.widest, 1), "the columns are the widest counted line's fields");
    Require(grid.FixedRows() == (grid.RowCount() > 1 ? 1 : 0), "the first line is the header when there are more");
    const int lines = static_cast<int>(PlainLines(text.substr(0, text.find('\0'))).size());
    // One column past the counts too: nothing shows beyond them either.
    for (int row = 0; row <= lines; ++row) {
        for (int col = 0; col <= grid.ColCount(); ++col) {
            auto it = expected.cells.find({col, row});
            Require(grid.GetCellEx(col, row) == (it == expected.cells.end() ? "" : it->second),
                    "every loaded cell equals the line's field");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwell;
    static const testing_support::TempFolder folder;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string file = FromNativePath(folder.Write("log.txt", text));

    const PlainLoad expected = LoadPlainly(text);
    for (const std::size_t stretches : {1, 5}) {
        // The viewer's table as the window makes it.
        TTableGrid grid;
        grid.SetRowCount(5);
        grid.SetColCount(5);
        grid.SetFixedRows(1);
        NoLoadProgress progress;
        if (stretches == 1) {
            ToSG(file, grid, progress);
        } else {
            const auto bytes = std::make_shared<const std::string>(text);
            LoadTextTable(bytes, *bytes, file, grid, progress, HeadlessTextWidth(), LoadSharing{1, stretches});
        }
        CheckLoad(grid, text, expected);
    }
    return 0;
}
