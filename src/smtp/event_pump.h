#pragma once

namespace tarnwell {

// What the socket session needs from the window while it waits on the server: a call that handles the
// window events that are waiting, so the window stays usable during a mail job. The application adapts
// its host to it; without one the waits simply sleep on the socket.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessMessages() = 0;
};

}  // namespace tarnwell
