// The log loader on any bytes: every cell it shows equals the field of its line found the plain way
// (tests/viewer/plain_lines.h), and the row and column counts are the ones those lines give.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "files/native_path.h"
#include "fuzz_check.h"
#include "grid/table_grid.h"
#include "support/temp_folder.h"
#include "text/load_progress.h"
#include "viewer/plain_lines.h"
#include "viewer/to_sg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarnwell;
    using tarnwell::fuzzing::Require;
    static const testing_support::TempFolder folder;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string file = FromNativePath(folder.Write("log.txt", text));

    // The viewer's table as the window makes it.
    TTableGrid grid;
    grid.SetRowCount(5);
    grid.SetColCount(5);
    grid.SetFixedRows(1);
    NoLoadProgress progress;
    ToSG(file, grid, progress);

    const PlainLoad expected = LoadPlainly(text);
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
    return 0;
}
