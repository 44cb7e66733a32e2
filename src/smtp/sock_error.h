#pragma once

#include "text/error.h"

namespace tarnwell {

// A failure of the socket session: a socket error worded as "<number>:<text>", or one of the session's
// own texts ("Connection Failed", "Null Remote Address", ...).
class ESockError : public Error {
public:
    using Error::Error;
};

// Connecting did not succeed: "Null Remote Address", "Host Lookup Timed Out", "Host Lookup Canceled",
// "Connection Timed out", "Connection Canceled", "Connection Failed". LastErrorNo of the session holds
// the system's reason where it gave one.
class EConnectError : public ESockError {
public:
    using ESockError::ESockError;
};

// "Not Connected": an operation needs the session, and the server has closed the connection (or it was
// never opened).
class ENotConnected : public Error {
public:
    ENotConnected() : Error("Not Connected") {}
};

// A send or a line read ended by Abort, Cancel or the time-out.
class EAbortError : public ESockError {
public:
    using ESockError::ESockError;
};

// A send or a line read ended by the time-out. Its text is that of the abort; the type tells the two
// apart, since after a time-out the peer may still answer the old command at any moment.
class ETimeOutError : public EAbortError {
public:
    using EAbortError::EAbortError;
};

// A host name that gave no address ("Host Lookup Failed"): Connect turns it into "Null Remote Address".
class EHostLookupFailed : public ESockError {
public:
    using ESockError::ESockError;
};

// What the server sent is not an SMTP reply: a line without its three-digit number, a line longer than
// the line buffer, or a reply of more lines than a client reads. The session is closed when it is raised.
class ESmtpReplyError : public ESockError {
public:
    using ESockError::ESockError;
};

// The encrypted channel could not be set up or broke: the handshake failed, the server's certificate
// or name did not verify, the server does not offer STARTTLS, or the encrypted stream was corrupt. The
// session is closed when it is raised, and nothing more is sent.
class ETlsError : public ESockError {
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
