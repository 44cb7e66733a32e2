#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwell {

// File access for the registry export file. Paths are Windows-1251; errors are ERegFileError naming the
// file.

// Reads the whole file into bytes. False when the file does not exist; throws when it exists but cannot be
// read, or holds more than limit bytes.
bool ReadRegFile(const std::string& path, std::size_t limit, std::string& bytes);

// Replaces the file's content with bytes so that a reader (or a crash at any moment) sees either the old
// or the new file, never a mix: the bytes go to a temporary file beside it, are flushed to the disk, and
// the temporary file is renamed over the old one (grid/output_file.h). The temporary file is removed when
// anything fails; one that a crash left behind is removed by the next save.
void ReplaceRegFile(const std::string& path, std::string_view bytes);

}  // namespace tarnwell
