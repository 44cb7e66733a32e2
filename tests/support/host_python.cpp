#include "support/host_python.h"

namespace tarnwell::testing_support {

std::string SourceFile(std::string_view relative) {
    return std::string(TARNWELL_SOURCE_DIR) + "/" + std::string(relative);
}

ProcessResult RunHostPython(const std::vector<std::string>& arguments) {
    return RunProcess(HostPython(), arguments, std::filesystem::current_path(), {});
}

}  // namespace tarnwell::testing_support
