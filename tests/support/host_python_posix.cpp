#include "support/host_python.h"

namespace tarnwell::testing_support {

std::filesystem::path HostPython() {
    return TARNWELL_PYTHON;
}

std::string HostPath(const std::filesystem::path& path) {
    return path.string();
}

ProcessResult RunHostPython(const std::vector<std::string>& arguments) {
    return RunProcess(HostPython(), arguments, std::filesystem::current_path(), {});
}

}  // namespace tarnwell::testing_support
