#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// The lines of a text: a line ends at CR LF, CR or LF; a last line without an end counts, an empty text
// has no lines.
std::vector<std::string> SplitLines(std::string_view text);

// The report page around a table fragment, in Windows-1251: the head line, every line of the fragment
// unchanged and in order, and the closing line, each followed by CR LF.
std::string ReportPage(std::string_view fragment);

}  // namespace tarnwell
