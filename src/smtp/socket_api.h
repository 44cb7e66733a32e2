#pragma once

// The few socket calls the session needs, one implementation per platform (socket_api_posix.cpp,
// socket_api_win32.cpp). Sockets are IPv4 TCP and non-blocking. Error numbers follow the Windows Sockets
// numbering on every platform (10035 would block, 10061 connection refused, ...), so that the session's
// messages read the same everywhere; a system error without such a number is 20000 plus its own number.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwell::socket_api {

#ifdef _WIN32
using Handle = std::uintptr_t;  // SOCKET
#else
using Handle = int;
#endif
inline constexpr Handle kNoSocket = static_cast<Handle>(-1);

inline constexpr int kWouldBlock = 10035;
inline constexpr int kNotConnected = 10057;

// Starts the platform's socket library for one more user (Windows only; other systems have nothing to
// start). False, with the error number, when the library cannot be started.
bool StartLibrary(int& error);
// Releases one user; the library stops with the last.
void StopLibrary();

// A new non-blocking TCP socket that is not inherited by child processes. With `drop_on_close` its
// close resets the connection at once (linger on, time 0) instead of waiting for unsent data.
Handle OpenTcp(bool drop_on_close, int& error);
bool Close(Handle socket, int& error);

// Starts connecting. 0 when connected at once; -1 with the error number otherwise, kWouldBlock meaning
// that the connection is under way.
int Connect(Handle socket, std::uint32_t address, std::uint16_t port, int& error);
// The outcome of a connection under way once the socket is writable: 0 when it is established, else
// the error number of the failure.
int ConnectResult(Handle socket);

// Sends what the system takes now; -1 with the error number when it takes nothing. With `more`, the
// system may hold the bytes back to go out together with the next send (where it offers that).
long Send(Handle socket, const char* data, std::size_t size, bool more, int& error);
// Receives (or, with `peek`, looks at without taking) up to `size` pending bytes. 0 when the peer has
// closed the connection; -1 with the error number, kWouldBlock when nothing is pending.
long Receive(Handle socket, char* buffer, std::size_t size, bool peek, int& error);

enum class WaitResult { Ready, TimedOut, Failed };
enum class Readiness { Read, Write };
// Sleeps until the socket is ready (readable: data, a close or an error pending; writable: room to send
// or the outcome of a connect) or `timeout_ms` has passed. Interrupted sleeps are resumed for the rest of
// the time. Failed carries the error number.
WaitResult WaitFor(Handle socket, Readiness what, int timeout_ms, int& error);

// A dotted IPv4 address in network byte order; nothing for any other text. 255.255.255.255 gives
// nothing: the platform's parser cannot tell it from a failure.
std::optional<std::uint32_t> DottedAddress(const std::string& text);
// Looks the host name up and gives its first IPv4 address, in network byte order. Blocks: callers run it
// on a worker thread. Nothing, with an error number of the 11001-11004 range, when the name has no address.
std::optional<std::uint32_t> LookupHost(const std::string& name, int& error);

}  // namespace tarnwell::socket_api
