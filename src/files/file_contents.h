#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/error.h"

namespace tarnwell {

// Small files read and replaced whole: the user database's export file and the settings file. Paths are
// the program's path bytes (files/native_path.h).

// A file that cannot be read or replaced. what() names the file and what failed:
// "<path>: cannot open: <reason>", "<path>: not a regular file", "<path>: file too large (more than <limit>
// bytes)", "<path>: cannot create a temporary file: <reason>", ...
class EFileAccessError : public Error {
public:
    using Error::Error;
};

// Reads the whole file into bytes. False when the file does not exist; throws EFileAccessError when it
// exists but cannot be read, is no regular file (POSIX; a named pipe is refused without waiting for a
// writer), or holds more than limit bytes, and when the name holds a NUL byte.
bool ReadFileIfExists(const std::string& path, std::size_t limit, std::string& bytes);

// Replaces the file's content with bytes so that a reader (or a crash at any moment, a power cut too)
// sees either the old or the new file, never a mix: the bytes go to a temporary file beside it, are
// flushed to the disk, and the temporary file is renamed over the old one (FileReplacement in
// files/output_file.h, Durability::kDurable). The temporary file is removed when anything fails; one
// that a crash left behind is removed by the next save. Throws EFileAccessError.
void ReplaceFileDurably(const std::string& path, std::string_view bytes);

}  // namespace tarnwell
