#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// What the viewer's drive box lists: the drive roots on Windows ("C:\", "D:\", ...); elsewhere the file
// system's mount points, root first, without the system's pseudo file systems.
std::vector<std::string> ListDrives();

// The mount points of a mount table in the format of /proc/self/mounts: "/" first, then the others
// sorted, each once. Pseudo file systems (proc, sysfs, cgroups, ...) and whatever is mounted inside
// /proc, /sys, /dev and /run are left out, except removable media under /run/media.
std::vector<std::string> ParseMountPoints(std::string_view mount_table);

// The index of the drive that holds the folder: the longest drive path that is the folder or one of its
// parents (Latin letters compared without regard to case on Windows). -1 when none is.
int DriveIndexOf(std::string_view folder, const std::vector<std::string>& drives);

}  // namespace tarnwell
