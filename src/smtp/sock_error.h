#pragma once

#include "text/error.h"

namespace tarnwell {

// A failure of the socket session: a socket error worded as "<number>:<text>", or one of the session's
// own texts ("Connection Failed", "Null Remote Address", ...).
class ESockError : public Error {
public:
    using Error::Error;
};

// A send or a line read ended by Abort, Cancel or the time-out.
class EAbortError : public ESockError {
public:
    using ESockError::ESockError;
};

// A number or a count outside the range its field can hold (a reply number beyond 16 bits, a text of
// more than 65535 bytes for one send).
class ERangeError : public Error {
public:
    ERangeError() : Error("Range check error") {}
};

}  // namespace tarnwell
