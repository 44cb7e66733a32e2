#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "grid/table_grid.h"
#include "grid/text_width.h"
#include "text/load_progress.h"

namespace tarnwell {

// The viewer's load of a text into a table once its bytes are at hand (ToSG, viewer/to_sg.h, says what
// it makes of them): the lines are counted and the cells made in stretches of the text, cut at line
// starts, which worker threads take in turn; the rows they build go to the grid at once at the end.

// How a load is shared out: the threads that work on it (the calling one included) and the stretches of
// the text they take in turn.
struct LoadSharing {
    unsigned threads = 1;
    std::size_t stretches = 1;
};

// For a text of `bytes` bytes: one thread and one stretch for a small text, otherwise every core, with a
// few stretches each so that none waits idle at the end for another's longer lines.
LoadSharing SharingFor(std::size_t bytes);

// Loads `bytes`, kept alive by `owner`, which the grid keeps. `file_name` is for the messages of the
// errors, as ToSG gives them.
void LoadTextTable(std::shared_ptr<const void> owner, std::string_view bytes, const std::string& file_name,
                   TTableGrid& grid, LoadProgress& progress, const TextWidthMeasure& measure, LoadSharing sharing);

}  // namespace tarnwell
