#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwell::testing {

// One step of a scripted peer.
struct Step {
    enum Kind { Send, ReadLine, ReadData, Pause, Close } kind;
    std::string text;  // Send: the bytes
    int ms = 0;        // Pause: how long
};

inline Step Send(std::string text) {
    return {Step::Send, std::move(text)};
}
inline Step ReadLine() {
    return {Step::ReadLine, {}};
}
inline Step ReadData() {
    return {Step::ReadData, {}};
}  // up to and including "\r\n.\r\n"
inline Step Pause(int ms) {
    return {Step::Pause, {}, ms};
}
inline Step Close() {
    return {Step::Close, {}};
}

// An SMTP dialogue as a script: the greeting, then for every command line the next reply in turn. After a
// reply beginning with "354" the data up to the closing dot is read before the next reply. The reply
// "<close>" closes the connection instead of answering, "<silent>" answers nothing any more.
std::vector<Step> SmtpScript(const std::string& greeting, const std::vector<std::string>& replies);

// A peer on 127.0.0.1, on a port the system picks, serving one connection from a thread: it runs the
// script, then keeps reading until the client closes or Stop. Everything the client sent is recorded.
class ScriptedServer {
public:
    explicit ScriptedServer(std::vector<Step> script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    std::uint16_t Port() const { return port_; }
    // Ends the thread (at once if it is waiting) and joins it.
    void Stop();
    // Waits (up to a few seconds) until the connection has ended, closed by the client or by the
    // script, then stops.
    void WaitForClientClose();
    // The bytes received so far.
    std::string Received();

private:
    void Run(std::vector<Step> script);
    // Reads what is pending into the record; false when the connection ended or Stop was asked.
    bool ReadMore(int wait_ms);

    std::uintptr_t listener_;
    std::uintptr_t connection_;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> client_closed_{false};
    std::atomic<bool> finished_{false};
    std::mutex mutex_;
    std::string received_;
    std::size_t consumed_ = 0;  // received bytes the script has already read
    std::thread thread_;
};

// A loopback port on which nothing listens (bound once, then released).
std::uint16_t UnusedPort();

}  // namespace tarnwell::testing
