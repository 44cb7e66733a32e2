#pragma once

#include "text/error.h"

namespace tarnwell {

// Errors of the table grid and its writers ("Cannot Create file ...", "Grid index out of range", ...).
class ETableGridError : public Error {
public:
    using Error::Error;
};

}  // namespace tarnwell
