#include "files/native_path.h"

namespace tarnwell {

std::filesystem::path NativePath(std::string_view path) {
    return std::filesystem::path(std::string(path));
}

std::string FromNativePath(const std::filesystem::path& path) {
    return path.native();
}

}  // namespace tarnwell
