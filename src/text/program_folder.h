#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwell {

// Paths are the program's byte strings: Windows-1251 on Windows, the file system's own bytes elsewhere.

// The folder that stands for the program's folder, without a trailing separator: settings.ini, grid.tmp
// and, where there is no registry, registry.reg live there, whatever the current folder is. It is
//   1. the folder that TARNWELL_HOME names (made absolute from the current folder), when it is set and
//      not empty;
//   2. else the executable's folder, where the user can write there (a copy of the program in a folder of
//      its own, as on Windows);
//   3. else, on systems other than Windows, the user's configuration folder for the program
//      (UserConfigFolder), created when missing: an installed program's folder belongs to the system.
// Worked out afresh on every call.
std::string ProgramFolder();

// The folder of the running executable itself.
std::string ExecutableFolder();

// The value of an environment variable, nothing when it is unset. On Windows it is read through the wide
// call and given in Windows-1251, so that a Cyrillic path survives whatever the ANSI code page is.
std::optional<std::string> EnvironmentVariable(const char* name);

// A relative path taken from the current folder; an absolute or empty one as it stands.
std::string AbsolutePath(const std::string& path);

// "$XDG_CONFIG_HOME/tarnwell", or "$HOME/.config/tarnwell" when XDG_CONFIG_HOME is unset, empty or
// relative (such a value is to be ignored); empty when neither names an absolute folder.
std::string UserConfigFolder(std::string_view xdg_config_home, std::string_view home);

// The system's own folders of programs (/bin, /sbin and those below /usr and /usr/local): they hold the
// installed program but never its files, even for an administrator who could write there.
bool IsSystemProgramFolder(std::string_view folder);

// Whether the byte separates folders in a path ('/' everywhere, '\\' too on Windows).
bool IsPathSeparator(char c);

// folder + the platform's separator + name (no doubled separator when folder already ends in one).
std::string JoinPath(std::string_view folder, std::string_view name);

// A relative path taken from `folder` (the report's name from the program's folder, as its hint promises);
// an empty path, an absolute one, or on Windows one that names a root or a drive ("\x", "C:x"), as it
// stands.
std::string PathInFolder(std::string_view folder, const std::string& path);

// The path without its last part and the separator before it; a root keeps its separator ("/tarnwell"
// lies in "/").
std::string ParentFolder(std::string_view path);

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace tarnwell
