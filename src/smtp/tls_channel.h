#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "smtp/socket_api.h"

namespace tarnwell {

// TLS over a connected non-blocking socket, one implementation per platform (OpenSSL in
// tls_channel_posix.cpp, Schannel in tls_channel_win32.cpp). The channel never waits: each call does what
// the socket allows now and says what it is waiting for, so that the session keeps its own waits, with
// their time-out, cancel and event pump, around it.
//
//     auto tls = OpenTlsChannel(socket, "mail.example.ru", "");
//     while (auto step = tls->Handshake(); step != TlsChannel::Step::Done) session.Wait(step);
//     tls->Send(...); tls->Receive(...);   // the same way, a step at a time
//
// Failures (a certificate that does not verify, a name that does not match, a broken record) raise
// ETlsError with a text that says what failed.
class TlsChannel {
public:
    enum class Step {
        Done,       // the call has done its work
        WantRead,   // call again once the socket is readable
        WantWrite,  // call again once the socket is writable
    };

    virtual ~TlsChannel() = default;

    // One step of the client handshake; the server's certificate chain is verified against the system's
    // trusted authorities (and those of the CA file, when one was given) and its name against the host.
    virtual Step Handshake() = 0;
    // Encrypts and sends up to size bytes; `sent` says how many were taken (Done) or 0 (Want...). After
    // a Want..., the same bytes are offered again.
    virtual Step Send(const char* data, std::size_t size, std::size_t& sent) = 0;
    // Receives up to size decrypted bytes. Done with got = 0: the server has closed the connection.
    virtual Step Receive(char* buffer, std::size_t size, std::size_t& got) = 0;
};

// A channel on the connected socket (which stays owned by the caller) for a server called host_name:
// a dotted IPv4 address is checked against the certificate's addresses, a name against its names, and a
// name is also sent as the server name indication. ca_file, when not empty, names a PEM file of further
// trusted certificates. ETlsError when the library cannot be set up or the CA file cannot be read.
std::unique_ptr<TlsChannel> OpenTlsChannel(socket_api::Handle socket, const std::string& host_name,
                                           const std::string& ca_file);

}  // namespace tarnwell
