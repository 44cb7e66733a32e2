#pragma once

#include <string>

namespace tarnwell {

// A string of `size` bytes to read a file into; Error "Not enough memory to read file <file_name>" when
// the size does not fit in memory.
std::string AllocateReadBuffer(unsigned long long size, const std::string& file_name);

}  // namespace tarnwell
