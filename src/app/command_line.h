#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

// The program looks at one command-line argument only: the first one after its own path. Arguments are
// split as the program has always split them on Windows:
//   - blanks, tabs and every other control character (bytes up to 0x20) separate arguments;
//   - a stretch in double quotes may hold blanks and control characters and loses its quotes; a quote
//     left open runs to the end;
//   - an empty pair of quotes standing alone ("" between separators) is no argument;
//   - an argument that comes out empty ends the list.

// Takes the next argument off the front of `rest` and returns it (empty when there is none).
std::string NextArgument(std::string_view& rest);

// The first argument of a command tail (the command line without the program's path), or nothing.
std::optional<std::string> FirstArgument(std::string_view tail);

// The command tail of this process, Windows-1251. On Windows it is the process's own command line as the
// system holds it, without its first argument (the program path); elsewhere the arguments joined by
// blanks, as a shell would have passed them on.
std::string CommandTail(int argc, const char* const* argv);

}  // namespace tarnwell
