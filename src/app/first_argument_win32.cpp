#include <windows.h>

#include "app/command_line.h"
#include "text/cp1251.h"

namespace tarnwell {

// The arguments of main() have already been split by the C runtime with other rules; the program's own
// splitting needs the command line as the system holds it.
std::optional<std::string> FirstCommandArgument(int, const char* const*) {
    const wchar_t* line = GetCommandLineW();
    if (line == nullptr) return std::nullopt;
    std::string text = Utf16ToCp1251(reinterpret_cast<const char16_t*>(line));
    std::string_view rest = text;
    NextArgument(rest);  // the program path
    return FirstArgument(rest);
}

}  // namespace tarnwell
