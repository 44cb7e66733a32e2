#pragma once

// The platform's side of output_file.h (output_file_posix.cpp, output_file_win32.cpp).

#include <cstddef>
#include <cstdint>

namespace tarnwell::output_file_platform {

// Writes all bytes to the descriptor or handle; EOutputFile kWrite when that fails.
void WriteAll(std::intptr_t file, const char* data, std::size_t size);

}  // namespace tarnwell::output_file_platform
