#include <unistd.h>

#include "settings/read_only.h"

namespace tarnwell {

bool IsReadOnlyFile(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0;
}

}  // namespace tarnwell
