#include "smtp/host_lookup.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "smtp/socket_api.h"

namespace tarnwell {

struct HostLookup::State {
    std::mutex mutex;
    std::condition_variable finished_signal;
    bool finished = false;
    std::optional<std::uint32_t> address;
    int error_no = 0;
};

HostLookup::HostLookup(const std::string& name) : state_(std::make_shared<State>()) {
    // The worker keeps the socket library started for itself, since it may outlive the session.
    int error = 0;
    if (!socket_api::StartLibrary(error)) {
        state_->finished = true;
        state_->error_no = error;
        return;
    }
    try {
        std::thread([state = state_, name] {
            int error_no = 0;
            std::optional<std::uint32_t> address = socket_api::LookupHost(name, error_no);
            socket_api::StopLibrary();
            std::lock_guard lock(state->mutex);
            state->address = address;
            state->error_no = error_no;
            state->finished = true;
            state->finished_signal.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the lookup fails like a name the resolver cannot answer for now.
        socket_api::StopLibrary();
        state_->finished = true;
        state_->error_no = 11002;
    }
}

HostLookup::~HostLookup() = default;

bool HostLookup::WaitFinished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(state_->mutex);
    return state_->finished_signal.wait_for(lock, timeout, [this] { return state_->finished; });
}

std::optional<std::uint32_t> HostLookup::Address() const {
    std::lock_guard lock(state_->mutex);
    return state_->address;
}

int HostLookup::ErrorNo() const {
    std::lock_guard lock(state_->mutex);
    return state_->error_no;
}

}  // namespace tarnwell
