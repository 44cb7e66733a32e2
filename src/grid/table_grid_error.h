#pragma once

#include <string>

#include "files/output_file.h"
#include "text/error.h"

namespace tarnwell {

// Errors of the table grid and its writers ("Cannot Create file ...", "Grid index out of range", ...).
class ETableGridError : public Error {
public:
    using Error::Error;
};

// The grid writers' words for a file that could not be written: "Cannot Create file " and the name when
// the file could not be created or put in place, "Cannot write file " with the name and the reason when
// writing failed (a full disk).
inline ETableGridError GridFileError(const std::string& file_name, const EOutputFile& error) {
    if (error.step() == EOutputFile::Step::kWrite) {
        return ETableGridError("Cannot write file " + file_name + ": " + error.what());
    }
    return ETableGridError("Cannot Create file " + file_name);
}

}  // namespace tarnwell
