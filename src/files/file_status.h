#pragma once

#include <string>

namespace tarnwell {

// What stands at a path, asked before a file is read or replaced. Paths are the program's path bytes
// (files/native_path.h).

// Whether no file that can be read stands at the path: nothing at all (also a dangling link or a missing
// folder on the way), or something that is no regular file (a folder, a named pipe, a device, a socket).
// False when a file is there, and when the path cannot be looked at (no right to its folder): the read
// that follows then reports what is wrong.
bool NoFileThere(const std::string& path);

// Whether the file exists and the file system refuses to let this process write to it (a read-only
// file). Replacing a file by renaming another over it would otherwise get past that refusal.
bool IsReadOnlyFile(const std::string& path);

}  // namespace tarnwell
