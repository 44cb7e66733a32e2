#include "scripted_server.h"

#include <chrono>
#include <stdexcept>

#include "smtp/socket_api.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using NativeSocket = SOCKET;
constexpr NativeSocket kNone = INVALID_SOCKET;
inline void CloseNative(NativeSocket s) {
    closesocket(s);
}
inline bool SetNonBlocking(NativeSocket s) {
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}
inline bool WouldBlock() {
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
constexpr int kSendFlags = 0;
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
using NativeSocket = int;
constexpr NativeSocket kNone = -1;
inline void CloseNative(NativeSocket s) {
    close(s);
}
inline bool SetNonBlocking(NativeSocket s) {
    int flags = fcntl(s, F_GETFL);
    return flags != -1 && fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}
inline bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}
// A client that went away gives an error, not a signal that ends the test.
constexpr int kSendFlags = MSG_NOSIGNAL;
#endif

namespace tarnwell::testing {
namespace {

NativeSocket Native(std::uintptr_t s) {
    return static_cast<NativeSocket>(s);
}
std::uintptr_t Stored(NativeSocket s) {
    return static_cast<std::uintptr_t>(s);
}

// Waits up to ms for the socket to become readable (or writable).
bool Ready(NativeSocket s, int ms, bool for_writing) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval limit{0, ms * 1000};
    return select(static_cast<int>(s) + 1, for_writing ? nullptr : &set, for_writing ? &set : nullptr, nullptr,
                  &limit) > 0;
}
bool Readable(NativeSocket s, int ms) {
    return Ready(s, ms, false);
}

NativeSocket Listen(std::uint16_t& port) {
    NativeSocket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == kNone) throw std::runtime_error("test server: no socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t size = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 4) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        CloseNative(s);
        throw std::runtime_error("test server: cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return s;
}

// Keeps the platform's socket library started for the test helpers.
struct Library {
    Library() {
        int error = 0;
        socket_api::StartLibrary(error);
    }
    ~Library() { socket_api::StopLibrary(); }
};

}  // namespace

std::vector<Step> SmtpScript(const std::string& greeting, const std::vector<std::string>& replies) {
    std::vector<Step> script{Send(greeting)};
    bool data_follows = false;
    for (const std::string& reply : replies) {
        script.push_back(data_follows ? ReadData() : ReadLine());
        if (reply == "<close>") {
            script.push_back(Close());
            break;
        }
        if (reply == "<silent>") break;
        script.push_back(Send(reply));
        data_follows = reply.rfind("354", 0) == 0;
    }
    return script;
}

std::uint16_t UnusedPort() {
    static Library library;
    std::uint16_t port = 0;
    CloseNative(Listen(port));
    return port;
}

ScriptedServer::ScriptedServer(std::vector<Step> script) : connection_(Stored(kNone)) {
    static Library library;
    listener_ = Stored(Listen(port_));
    thread_ = std::thread([this, script = std::move(script)]() mutable { Run(std::move(script)); });
}

ScriptedServer::~ScriptedServer() {
    Stop();
}

void ScriptedServer::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (Native(connection_) != kNone) CloseNative(Native(connection_));
    if (Native(listener_) != kNone) CloseNative(Native(listener_));
    connection_ = listener_ = Stored(kNone);
}

void ScriptedServer::WaitForClientClose() {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!finished_ && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Stop();
}

std::string ScriptedServer::Received() {
    std::lock_guard lock(mutex_);
    return received_;
}

bool ScriptedServer::ReadMore(int wait_ms) {
    if (stop_ || client_closed_) return false;
    NativeSocket s = Native(connection_);
    if (!Readable(s, wait_ms)) return !stop_;
    char buffer[65536];
    int n = static_cast<int>(recv(s, buffer, sizeof buffer, 0));
    if (n < 0 && WouldBlock()) return true;
    if (n <= 0) {
        client_closed_ = true;
        return false;
    }
    std::lock_guard lock(mutex_);
    received_.append(buffer, static_cast<std::size_t>(n));
    return true;
}

void ScriptedServer::Run(std::vector<Step> script) {
    struct Finished {
        std::atomic<bool>& flag;
        ~Finished() { flag = true; }
    } finished{finished_};
    NativeSocket listener = Native(listener_);
    while (!stop_ && !Readable(listener, 20)) {
    }
    if (stop_) return;
    NativeSocket s = accept(listener, nullptr, nullptr);
    if (s == kNone) return;
    connection_ = Stored(s);
    // Non-blocking, so that Stop ends a send that a client which went away never lets finish (under Wine a
    // blocking send to a reset connection can wait for many minutes).
    if (!SetNonBlocking(s)) return;

    // Position of the end of what the script waits for, or npos while it has not arrived.
    auto find = [this](const std::string& what, std::size_t from) {
        std::lock_guard lock(mutex_);
        std::size_t at = received_.find(what, from);
        return at == std::string::npos ? at : at + what.size();
    };
    for (const Step& step : script) {
        switch (step.kind) {
            case Step::Send:
                for (std::size_t sent = 0; sent < step.text.size();) {
                    if (stop_) return;
                    int n = static_cast<int>(
                        send(s, step.text.data() + sent, static_cast<int>(step.text.size() - sent), kSendFlags));
                    if (n < 0 && WouldBlock()) {
                        Ready(s, 20, true);
                        continue;
                    }
                    if (n <= 0) return;
                    sent += static_cast<std::size_t>(n);
                }
                break;
            case Step::ReadLine:
            case Step::ReadData: {
                std::string end = step.kind == Step::ReadLine ? "\n" : "\r\n.\r\n";
                std::size_t from = step.kind == Step::ReadLine || consumed_ < 2 ? consumed_ : consumed_ - 2;
                std::size_t found;
                while ((found = find(end, from)) == std::string::npos) {
                    if (!ReadMore(20)) return;
                }
                consumed_ = found;
                break;
            }
            case Step::Pause: {
                auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(step.ms);
                while (!stop_ && std::chrono::steady_clock::now() < until)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                break;
            }
            case Step::Close:
                CloseNative(s);
                connection_ = Stored(kNone);
                return;
        }
    }
    while (ReadMore(20)) {
    }
}

}  // namespace tarnwell::testing
