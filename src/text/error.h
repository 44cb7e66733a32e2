#pragma once

#include <stdexcept>
#include <string>

namespace tarnwell {

// Base of every error the program raises itself. what() is the exact text the user sees in the error
// box (Windows-1251 bytes, like every text of the program).
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

// A text that should have been a number.
class EConvertError : public Error {
public:
    using Error::Error;
};

}  // namespace tarnwell
