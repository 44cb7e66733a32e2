#pragma once

#include <string>

#include "grid/table_grid.h"
#include "grid/text_width.h"
#include "text/load_progress.h"

namespace tarnwell {

// Shows a text file in the grid: one row per line, one cell per TAB-separated field.
//
// The file is read whole and kept up to its first NUL byte; lines end at CR LF, a lone CR or a lone LF.
// Each line's first field is kept whole; the further fields are taken only from the 255 bytes that
// follow the first TAB, so the end of a long line is dropped. Empty lines and lines of up to 256 TABs
// and nothing else do not count towards the rows. The row count becomes the index of the last counted line plus one (it
// stays as it was when no line counts), the column count the widest counted line, and with more than one row the first
// line is the header row. Columns are then fitted to their texts with `measure`.
//
// The grid is emptied first, so it shows this file and nothing of an earlier one; its counts are set
// only as above. The cells are slices of a snapshot of the file's bytes (files/file_snapshot.h), which
// the grid keeps: nothing is copied, and a file that is written, truncated or rotated away while it is
// shown changes nothing in the table. The lines are found and the cells made on every core, by worker
// threads that are joined before the load returns; the grid receives the finished rows at once.
//
// Errors: EFileOpenError "Cannot open file <file_name>" when the file cannot be opened or read, Error
// "Too many lines in file <file_name>" for more lines than a grid has rows, both raised before the grid
// or the progress is touched; Error "Not enough memory to read file <file_name>" when the file or its
// cells do not fit in memory, which leaves the grid as it was.
void ToSG(const std::string& file_name, TTableGrid& grid, LoadProgress& progress,
          const TextWidthMeasure& measure = HeadlessTextWidth());

}  // namespace tarnwell
