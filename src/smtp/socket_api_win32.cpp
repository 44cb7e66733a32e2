#include "smtp/socket_api.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <mutex>

namespace tarnwell::socket_api {
namespace {

std::mutex library_mutex;
int library_users = 0;

}  // namespace

bool StartLibrary(int& error) {
    std::lock_guard lock(library_mutex);
    if (library_users++ > 0) {
        error = 0;
        return true;
    }
    WSADATA data{};
    int rc = WSAStartup(MAKEWORD(2, 2), &data);
    if (rc != 0) {
        --library_users;
        error = rc;
        return false;
    }
    error = 0;
    return true;
}

void StopLibrary() {
    std::lock_guard lock(library_mutex);
    if (library_users > 0 && --library_users == 0) WSACleanup();
}

Handle OpenTcp(bool drop_on_close, int& error) {
    SOCKET s = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
        error = WSAGetLastError();
        return kNoSocket;
    }
    u_long non_blocking = 1;
    if (ioctlsocket(s, FIONBIO, &non_blocking) != 0) {
        error = WSAGetLastError();
        closesocket(s);
        return kNoSocket;
    }
    if (drop_on_close) {
        linger option{1, 0};
        setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option), sizeof option);
    }
    // Commands and replies are single short lines, each waited for: sending each at once matters more
    // than packing them.
    BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    error = 0;
    return static_cast<Handle>(s);
}

bool Close(Handle socket, int& error) {
    if (closesocket(static_cast<SOCKET>(socket)) == 0) {
        error = 0;
        return true;
    }
    error = WSAGetLastError();
    return false;
}

int Connect(Handle socket, std::uint32_t address, std::uint16_t port, int& error) {
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    remote.sin_addr.s_addr = address;
    if (connect(static_cast<SOCKET>(socket), reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0) {
        error = 0;
        return 0;
    }
    error = WSAGetLastError();
    return -1;
}

int ConnectResult(Handle socket) {
    int value = 0;
    int size = sizeof value;
    if (getsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&value), &size) != 0)
        return WSAGetLastError();
    return value;
}

long Send(Handle socket, const char* data, std::size_t size, bool, int& error) {
    int chunk = size > 0x7fffffff ? 0x7fffffff : static_cast<int>(size);
    int n = send(static_cast<SOCKET>(socket), data, chunk, 0);
    if (n == SOCKET_ERROR) {
        error = WSAGetLastError();
        return -1;
    }
    error = 0;
    return n;
}

long Receive(Handle socket, char* buffer, std::size_t size, bool peek, int& error) {
    int chunk = size > 0x7fffffff ? 0x7fffffff : static_cast<int>(size);
    int n = recv(static_cast<SOCKET>(socket), buffer, chunk, peek ? MSG_PEEK : 0);
    if (n == SOCKET_ERROR) {
        error = WSAGetLastError();
        return -1;
    }
    error = 0;
    return n;
}

// select() rather than WSAPoll: WSAPoll does not report a failed connect on many Windows versions, while
// select() shows it in the exception set.
WaitResult WaitFor(Handle socket, Readiness what, int timeout_ms, int& error) {
    SOCKET s = static_cast<SOCKET>(socket);
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval limit{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    int n = what == Readiness::Read ? select(0, &ready, nullptr, &failed, &limit)
                                    : select(0, nullptr, &ready, &failed, &limit);
    if (n == SOCKET_ERROR) {
        error = WSAGetLastError();
        return WaitResult::Failed;
    }
    error = 0;
    return n > 0 ? WaitResult::Ready : WaitResult::TimedOut;
}

std::optional<std::uint32_t> DottedAddress(const std::string& text) {
    unsigned long address = inet_addr(text.c_str());
    if (address == INADDR_NONE) return std::nullopt;
    return static_cast<std::uint32_t>(address);
}

std::optional<std::uint32_t> LookupHost(const std::string& name, int& error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int rc = getaddrinfo(name.c_str(), nullptr, &hints, &found);
    if (rc != 0 || found == nullptr) {
        error = rc == WSATRY_AGAIN ? 11002 : rc == WSANO_RECOVERY ? 11003 : rc == WSANO_DATA ? 11004 : 11001;
        if (found != nullptr) freeaddrinfo(found);
        return std::nullopt;
    }
    std::uint32_t address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    error = 0;
    return address;
}

}  // namespace tarnwell::socket_api
