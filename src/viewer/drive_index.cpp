#include <algorithm>

#include "text/program_folder.h"
#include "viewer/drives.h"

namespace tarnwell {
namespace {

bool SameChar(char a, char b) {
#ifdef _WIN32
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (a == '/') a = '\\';
    if (b == '/') b = '\\';
    return fold(a) == fold(b);
#else
    return a == b;
#endif
}

// Whether `drive` is the folder or one of its parents: "/home" holds "/home/u" but not "/homework".
bool Holds(std::string_view drive, std::string_view folder) {
    if (drive.size() > folder.size() || !std::equal(drive.begin(), drive.end(), folder.begin(), SameChar)) return false;
    return drive.size() == folder.size() || IsPathSeparator(drive.back()) || IsPathSeparator(folder[drive.size()]);
}

}  // namespace

int DriveIndexOf(std::string_view folder, const std::vector<std::string>& drives) {
    int best = -1;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i].empty() || !Holds(drives[i], folder)) continue;
        if (best < 0 || drives[i].size() > drives[static_cast<std::size_t>(best)].size()) best = static_cast<int>(i);
    }
    return best;
}

}  // namespace tarnwell
