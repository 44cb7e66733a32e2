#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>

#include "viewer/drives.h"

namespace tarnwell {
namespace {

// A mount table of a few thousand entries is far below this; a larger one is read only this far.
constexpr std::size_t kMountTableLimit = 4 << 20;

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> ListDrives() {
    std::string table;
    std::ifstream mounts("/proc/self/mounts", std::ios::binary);
    char piece[16384];
    while (mounts && table.size() < kMountTableLimit) {
        mounts.read(piece, sizeof piece);
        table.append(piece, static_cast<std::size_t>(mounts.gcount()));
    }
    std::vector<std::string> drives;
    // Files mounted over files (containers do that with /etc/hosts) are no place to browse.
    for (std::string& point : ParseMountPoints(table)) {
        if (point == "/" || IsFolder(point)) drives.push_back(std::move(point));
    }
    return drives;
}

}  // namespace tarnwell
