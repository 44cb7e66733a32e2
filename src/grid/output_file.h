#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// Creates the file (an existing one is truncated) and writes the bytes to it. The name is Windows-1251
// like every text of the program.
//
// Throws ETableGridError "Cannot Create file " + name when the file cannot be created (folder missing,
// no right to write, file locked), before anything is written; and "Cannot write file " + name + ": " +
// the system's reason when writing or closing fails (disk full), leaving what was written so far.
void WriteNewFile(const std::string& file_name, std::string_view bytes);

}  // namespace tarnwell
