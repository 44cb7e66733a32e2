#pragma once

#include <string>

namespace tarnwell {

// An empty string with room for `size` bytes, to read a file into; Error "Not enough memory to read
// file <file_name>" when the size does not fit in memory.
std::string ReserveReadBuffer(unsigned long long size, const std::string& file_name);

}  // namespace tarnwell
