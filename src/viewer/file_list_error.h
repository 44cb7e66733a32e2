#pragma once

#include "text/error.h"

namespace tarnwell {

// A folder or file the file list was asked to show that does not exist: "Cannot find folder <path>",
// "Cannot find file <path>".
class EFileListError : public Error {
public:
    using Error::Error;
};

}  // namespace tarnwell
