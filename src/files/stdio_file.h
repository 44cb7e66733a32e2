#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tarnwell {

// A file opened for reading through the C library's streams, in binary mode, with 64-bit positions. The
// program's path bytes (files/native_path.h) name it on every platform.

// The opened file, or null when it cannot be opened.
std::FILE* OpenFileForReading(const std::string& path);

// Moves to offset from whence (SEEK_SET, SEEK_CUR, SEEK_END); the new position, or -1 on failure.
std::int64_t SeekFile(std::FILE* file, std::int64_t offset, int whence);

}  // namespace tarnwell
