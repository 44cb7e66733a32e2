#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tarnwell {

// One host name lookup on a worker thread, so that the window keeps running while the resolver waits.
// The caller looks at the result from its own thread between its waits. A lookup that is given up (time-out,
// cancel, destruction) finishes on its own in the background and its result is dropped.
class HostLookup {
public:
    explicit HostLookup(const std::string& name);
    ~HostLookup();
    HostLookup(const HostLookup&) = delete;
    HostLookup& operator=(const HostLookup&) = delete;

    // Sleeps until the lookup has finished or the time has passed; true when it has finished.
    bool WaitFinished(std::chrono::milliseconds timeout);
    // After a finished lookup: the first IPv4 address (network byte order), or nothing with ErrorNo().
    std::optional<std::uint32_t> Address() const;
    int ErrorNo() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace tarnwell
