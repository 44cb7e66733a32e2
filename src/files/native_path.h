#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwell {

// The program keeps paths as its own byte strings: Windows-1251 on Windows, the file system's bytes as
// they are elsewhere. These turn them into the standard library's paths and back.
std::filesystem::path NativePath(std::string_view path);
std::string FromNativePath(const std::filesystem::path& path);

}  // namespace tarnwell
