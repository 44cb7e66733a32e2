#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

// The program looks at one command-line argument only: the first one after its own path.
//
// On Windows the program gets one command line and splits it itself, as it always has:
//   - blanks, tabs and every other control character (bytes up to 0x20) separate arguments;
//   - a stretch in double quotes may hold blanks and control characters and loses its quotes; a quote
//     left open runs to the end;
//   - an empty pair of quotes standing alone ("" between separators) is no argument;
//   - an argument that comes out empty ends the list.
// Elsewhere the shell has already split the arguments, and its quoting is done: the first argument is
// argv[1] exactly as passed, byte for byte, so a double quote inside it is an ordinary character.

// Takes the next argument off the front of a Windows command line and returns it (empty when there is
// none).
std::string NextArgument(std::string_view& rest);

// The first argument of a Windows command tail (the command line without the program's path), or nothing.
std::optional<std::string> FirstArgument(std::string_view tail);

// The first argument of this process, Windows-1251 on Windows, or nothing. On Windows it is split from
// the process's own command line as the system holds it (argv is not used); elsewhere it is argv[1].
std::optional<std::string> FirstCommandArgument(int argc, const char* const* argv);

}  // namespace tarnwell
