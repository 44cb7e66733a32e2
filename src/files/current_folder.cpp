#include "files/current_folder.h"

#include <filesystem>
#include <system_error>

#include "files/native_path.h"

namespace tarnwell {

std::string CurrentFolder() {
    std::error_code error;
    std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : FromNativePath(current);
}

bool SetCurrentFolder(const std::string& folder) {
    if (folder.empty()) return false;
    std::error_code error;
    std::filesystem::current_path(NativePath(folder), error);
    return !error;
}

}  // namespace tarnwell
