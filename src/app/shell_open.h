#pragma once

#include <string_view>

namespace tarnwell {

// The desktop's "open" of a document or link (Windows-1251 text): the shell on Windows, xdg-open
// elsewhere. Not waited for; a failure is not reported, as the links of the About page need no more.
void ShellOpenDocument(std::string_view target);

}  // namespace tarnwell
