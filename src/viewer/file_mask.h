#pragma once

#include <string_view>

namespace tarnwell {

// Whether a file name matches a file mask: '*' stands for any run of bytes, '?' for one byte, and
// Latin letters match without regard to case, as file names do on Windows. A mask ending in ".*" also
// takes names without that extension, so "*.*" takes every name. Several masks may be given separated
// by ';'; the name then has to match one of them.
bool MatchesMask(std::string_view name, std::string_view mask);

}  // namespace tarnwell
