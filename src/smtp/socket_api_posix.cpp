#include "smtp/socket_api.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>

namespace tarnwell::socket_api {
namespace {

// The Windows Sockets numbers are the BSD error numbers plus 10000; Linux numbers its errors
// differently, so each one is named here.
struct ErrnoNumber {
    int system;
    int sockets;
};

constexpr ErrnoNumber kErrnoNumbers[] = {
    {EINTR, 10004},
    {EBADF, 10009},
    {EACCES, 10013},
    {EFAULT, 10014},
    {EINVAL, 10022},
    {EMFILE, 10024},
    {EWOULDBLOCK, kWouldBlock},
    {EINPROGRESS, 10036},
    {EALREADY, 10037},
    {ENOTSOCK, 10038},
    {EDESTADDRREQ, 10039},
    {EMSGSIZE, 10040},
    {EPROTOTYPE, 10041},
    {ENOPROTOOPT, 10042},
    {EPROTONOSUPPORT, 10043},
    {ESOCKTNOSUPPORT, 10044},
    {EOPNOTSUPP, 10045},
    {EPFNOSUPPORT, 10046},
    {EAFNOSUPPORT, 10047},
    {EADDRINUSE, 10048},
    {EADDRNOTAVAIL, 10049},
    {ENETDOWN, 10050},
    {ENETUNREACH, 10051},
    {ENETRESET, 10052},
    {ECONNABORTED, 10053},
    {ECONNRESET, 10054},
    {ENOBUFS, 10055},
    {EISCONN, 10056},
    {ENOTCONN, kNotConnected},
    {ESHUTDOWN, 10058},
    {ETOOMANYREFS, 10059},
    {ETIMEDOUT, 10060},
    {ECONNREFUSED, 10061},
    {ELOOP, 10062},
    {ENAMETOOLONG, 10063},
    {EHOSTDOWN, 10064},
    {EHOSTUNREACH, 10065},
    {ENOTEMPTY, 10066},
    {EUSERS, 10068},
    {EDQUOT, 10069},
    {ESTALE, 10070},
    {EREMOTE, 10071},
};

int FromErrno(int e) {
    for (const ErrnoNumber& n : kErrnoNumbers)
        if (n.system == e) return n.sockets;
    return 20000 + e;
}

bool IsConnected(int socket) {
    sockaddr_in peer{};
    socklen_t size = sizeof peer;
    return getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &size) == 0;
}

}  // namespace

bool StartLibrary(int& error) {
    error = 0;
    return true;
}

void StopLibrary() {}

Handle OpenTcp(bool drop_on_close, int& error) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (s < 0) {
        error = FromErrno(errno);
        return kNoSocket;
    }
    if (drop_on_close) {
        linger option{1, 0};
        setsockopt(s, SOL_SOCKET, SO_LINGER, &option, sizeof option);
    }
    // Commands and replies are single short lines, each waited for: sending each at once matters more
    // than packing them.
    int on = 1;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    error = 0;
    return s;
}

bool Close(Handle socket, int& error) {
    if (close(socket) == 0) {
        error = 0;
        return true;
    }
    error = FromErrno(errno);
    return false;
}

int Connect(Handle socket, std::uint32_t address, std::uint16_t port, int& error) {
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    remote.sin_addr.s_addr = address;
    if (connect(socket, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0) {
        error = 0;
        return 0;
    }
    // A connection under way is "would block" in the Windows Sockets sense.
    error = errno == EINPROGRESS ? kWouldBlock : FromErrno(errno);
    return -1;
}

int ConnectResult(Handle socket) {
    int value = 0;
    socklen_t size = sizeof value;
    if (getsockopt(socket, SOL_SOCKET, SO_ERROR, &value, &size) != 0) return FromErrno(errno);
    return value == 0 ? 0 : FromErrno(value);
}

long Send(Handle socket, const char* data, std::size_t size, bool more, int& error) {
    ssize_t n = send(socket, data, size, MSG_NOSIGNAL | (more ? MSG_MORE : 0));
    if (n >= 0) {
        error = 0;
        return static_cast<long>(n);
    }
    // Linux answers EPIPE both for a socket that never connected and for one whose connection is gone;
    // the first is "not connected" on Windows.
    if (errno == EPIPE) {
        error = IsConnected(socket) ? 10058 : kNotConnected;
    } else {
        error = FromErrno(errno);
    }
    return -1;
}

long Receive(Handle socket, char* buffer, std::size_t size, bool peek, int& error) {
    ssize_t n;
    do {
        n = recv(socket, buffer, size, peek ? MSG_PEEK : 0);
    } while (n < 0 && errno == EINTR);
    if (n >= 0) {
        error = 0;
        return static_cast<long>(n);
    }
    error = FromErrno(errno);
    return -1;
}

WaitResult WaitFor(Handle socket, Readiness what, int timeout_ms, int& error) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    pollfd entry{socket, static_cast<short>(what == Readiness::Read ? POLLIN : POLLOUT), 0};
    for (;;) {
        int left =
            static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
        int n = poll(&entry, 1, left < 0 ? 0 : left);
        if (n > 0) {
            if (entry.revents & POLLNVAL) {
                error = FromErrno(EBADF);
                return WaitResult::Failed;
            }
            // An error or hang-up counts as ready: the receive or the connect result tells which.
            error = 0;
            return WaitResult::Ready;
        }
        if (n == 0) {
            error = 0;
            return WaitResult::TimedOut;
        }
        if (errno != EINTR) {
            error = FromErrno(errno);
            return WaitResult::Failed;
        }
    }
}

std::optional<std::uint32_t> DottedAddress(const std::string& text) {
    in_addr_t address = inet_addr(text.c_str());
    if (address == INADDR_NONE) return std::nullopt;
    return address;
}

std::optional<std::uint32_t> LookupHost(const std::string& name, int& error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (rc != 0 || found == nullptr) {
        switch (rc) {
            case EAI_AGAIN:
                error = 11002;
                break;
            case EAI_FAIL:
                error = 11003;
                break;
            case EAI_NODATA:
                error = 11004;
                break;
            default:
                error = 11001;
                break;
        }
        if (found != nullptr) freeaddrinfo(found);
        return std::nullopt;
    }
    std::uint32_t address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    error = 0;
    return address;
}

}  // namespace tarnwell::socket_api
