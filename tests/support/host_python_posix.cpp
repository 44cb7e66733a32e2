#include "support/host_python.h"

namespace tarnwell::testing_support {

std::filesystem::path HostPython() {
    return TARNWELL_PYTHON;
}

std::string HostPath(const std::filesystem::path& path) {
    return path.string();
}

}  // namespace tarnwell::testing_support
