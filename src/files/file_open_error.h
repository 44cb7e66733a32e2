#pragma once

#include "text/error.h"

namespace tarnwell {

// A file that cannot be opened or read: "Cannot open file <path>".
class EFileOpenError : public Error {
public:
    using Error::Error;
};

}  // namespace tarnwell
