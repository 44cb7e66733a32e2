#pragma once

#include <string>

namespace tarnwell {

// Whether the file exists and the file system refuses to let this process write to it (a read-only
// file). Replacing a file by renaming another over it would otherwise get past that refusal.
bool IsReadOnlyFile(const std::string& path);

}  // namespace tarnwell
