#pragma once

#include <array>
#include <string_view>

namespace tarnwell {

// An item of the viewer's file-type filter: what it shows and the file mask it gives the file list.
struct FileFilter {
    std::string_view Caption;
    std::string_view Mask;
};

// The filter's items; the first is selected at start.
inline constexpr std::array<FileFilter, 4> kFileFilters{{
    {"All files (*.*)", "*.*"},
    {"Text files (*.txt)", "*.txt"},
    {"Dat Files (*.dat)", "*.dat"},
    {"Log files (*.log)", "*.log"},
}};

}  // namespace tarnwell
