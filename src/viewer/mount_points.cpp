#include <algorithm>
#include <array>

#include "viewer/drives.h"

namespace tarnwell {
namespace {

// File systems that hold no user files: the kernel's views of itself and the like.
constexpr std::array<std::string_view, 24> kPseudoFileSystems{
    "autofs",   "binfmt_misc", "bpf",        "cgroup",    "cgroup2", "configfs", "debugfs",     "devpts",
    "devtmpfs", "efivarfs",    "fusectl",    "hugetlbfs", "mqueue",  "nsfs",     "proc",        "pstore",
    "ramfs",    "rpc_pipefs",  "securityfs", "selinuxfs", "sysfs",   "tracefs",  "fuse.portal", "fuse.gvfsd-fuse",
};

// The system's own trees; desktops mount removable media under /run/media, which stays listed.
bool IsSystemMount(std::string_view path) {
    auto inside = [&](std::string_view tree) {
        return path == tree ||
               (path.size() > tree.size() && path.substr(0, tree.size()) == tree && path[tree.size()] == '/');
    };
    if (inside("/run/media")) return false;
    return inside("/proc") || inside("/sys") || inside("/dev") || inside("/run");
}

// Mount tables write space, TAB, newline and backslash in paths as \040, \011, \012 and \134.
std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        auto octal = [&](std::size_t k) { return field[k] >= '0' && field[k] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) && octal(i + 3)) {
            int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            if (value > 0 && value < 256) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

// The n-th space-separated field of a line, empty when the line has fewer.
std::string_view Field(std::string_view line, int n) {
    std::size_t begin = 0;
    for (;;) {
        begin = line.find_first_not_of(' ', begin);
        if (begin == std::string_view::npos) return {};
        std::size_t end = line.find(' ', begin);
        if (n-- == 0) return line.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
        if (end == std::string_view::npos) return {};
        begin = end;
    }
}

}  // namespace

std::vector<std::string> ParseMountPoints(std::string_view mount_table) {
    std::vector<std::string> points;
    while (!mount_table.empty()) {
        std::size_t newline = mount_table.find('\n');
        std::string_view line = mount_table.substr(0, newline);
        mount_table.remove_prefix(newline == std::string_view::npos ? mount_table.size() : newline + 1);

        std::string_view type = Field(line, 2);
        if (type.empty()) continue;  // not a mount line
        std::string point = Unescape(Field(line, 1));
        if (point.empty() || point[0] != '/' || IsSystemMount(point)) continue;
        if (std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), type) != kPseudoFileSystems.end()) continue;
        if (point != "/") points.push_back(std::move(point));
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    // The root is always there, even when the table names it with a file system we would leave out.
    points.insert(points.begin(), "/");
    return points;
}

}  // namespace tarnwell
