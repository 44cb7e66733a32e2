#include <iostream>

#include "app/standard_error.h"

namespace tarnwell {

std::ostream& StandardError() {
    return std::cerr;
}

}  // namespace tarnwell
