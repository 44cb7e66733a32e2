#include "support/host_python.h"

namespace tarnwell::testing_support {

std::string SourceFile(std::string_view relative) {
    return std::string(TARNWELL_SOURCE_DIR) + "/" + std::string(relative);
}

}  // namespace tarnwell::testing_support
