#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// The folder of the running executable, without a trailing separator (Windows-1251 bytes). The program
// keeps settings.ini, grid.tmp and, where there is no registry, registry.reg there, whatever the
// current folder is.
std::string ProgramFolder();

// Whether the byte separates folders in a path ('/' everywhere, '\\' too on Windows).
bool IsPathSeparator(char c);

// folder + the platform's separator + name (no doubled separator when folder already ends in one).
std::string JoinPath(std::string_view folder, std::string_view name);

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace tarnwell
