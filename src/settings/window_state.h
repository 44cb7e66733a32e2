#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarnwell {

// What the window remembers of itself from one run to the next, in window.ini beside settings.ini: its
// place and size, whether it was maximised, the positions of its splitters and the statistics table's
// sort order. Kept apart from settings.ini, which only the settings' own save writes; the window writes
// this file whenever it closes, whatever the auto-save box says, and reads it at start. Column widths are
// not kept: the loader fits them to their content.
//
//   [Window]
//   Left=120
//   Top=80
//   Width=644
//   Height=375
//   Maximized=0
//   Splitters=180,420
//   SortColumn=3
//   SortDescending=1
//
// Sizes are the window's own pixels at the dpi it was closed on, with that dpi (Dpi=96), so that a window
// closed at 144 dpi opens at the same share of the screen at 96. A file that is missing, unreadable or
// holds values out of their range gives no geometry (the designed size), no splitter positions and no
// sort, key by key: a bad key never keeps the window from opening.
struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowRect&) const = default;
};

struct WindowState {
    std::optional<WindowRect> geometry;
    int dpi = 96;
    bool maximized = false;
    std::vector<int> splitters;  // in the window's order; each 0 .. 100000 pixels
    int sort_column = -1;        // -1: the table's own order
    bool sort_descending = false;
};

// window.ini in the folder.
std::string WindowStateFile(const std::string& folder);

// The state kept in the file; the defaults above where it has none (missing file, bad values). Never
// throws for the file's content; a file that exists but cannot be read counts as missing.
WindowState ReadWindowState(const std::string& folder);

// Writes the whole file (through a temporary file and a rename). Throws EFileAccessError.
void SaveWindowState(const WindowState& state, const std::string& folder);

// The rectangle moved (and, when larger, shrunk) so that it lies wholly on the work area: a window closed
// on a screen that is gone, or at another dpi, opens where it can be seen and grabbed.
WindowRect KeepOnScreen(WindowRect window, const WindowRect& work_area);

// The rectangle in pixels of `to_dpi`, from pixels of `from_dpi` (positions and sizes alike).
WindowRect ScaleRect(const WindowRect& rect, int from_dpi, int to_dpi);

}  // namespace tarnwell
