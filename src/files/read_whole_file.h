#pragma once

#include <string>

namespace tarnwell {

// Every byte of the file, read in one piece. The file is opened for reading with other programs denied
// write access where the platform can deny it (Windows); elsewhere it is opened read-only and what it
// holds when it is opened is read. Only regular files are read: a folder, a device or a pipe fails like
// a missing file, with EFileOpenError "Cannot open file <file_name>". A file too large for memory fails
// with Error "Not enough memory to read file <file_name>".
std::string ReadWholeFile(const std::string& file_name);

}  // namespace tarnwell
