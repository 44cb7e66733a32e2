#pragma once

#include <chrono>
#include <string_view>

#include "app/host.h"
#include "form/cancel_button.h"
#include "form/gauge.h"
#include "form/status_bar.h"
#include "smtp/event_pump.h"
#include "text/load_progress.h"
#include "text/save_progress.h"
#include "wingate/service_restart.h"

namespace tarnwell {

// The small interfaces that the lower layers report through, carried out on the window's controls and
// its host.

// The service restart's status text, in the status bar, drawn at once (the restart blocks right after).
class StatusBarText final : public StatusText {
public:
    StatusBarText(StatusBar& bar, Host& host) : bar_(bar), host_(host) {}
    void SetStatusText(std::string_view text) override;

private:
    StatusBar& bar_;
    Host& host_;
};

// The service restart's pause: the host blocks (the window) or sleeps (headless).
class HostPause final : public Pause {
public:
    explicit HostPause(Host& host) : host_(host) {}
    void Sleep(std::chrono::milliseconds duration) override { host_.Sleep(duration); }

private:
    Host& host_;
};

// A long load's progress on the gauge CG1, redrawn as it moves.
class GaugeProgress final : public LoadProgress {
public:
    GaugeProgress(Gauge& gauge, Host& host) : gauge_(gauge), host_(host) {}
    void Show(int max) override;
    void Position(int position) override;
    void Hide() override;

private:
    Gauge& gauge_;
    Host& host_;
};

// A save's progress on the gauge CG1, with the cancel button beside it. Between two steps the window's
// waiting events are handled (at most every kPumpInterval, so that a short save costs nothing), which is
// where a click on the cancel button, or the Escape key, comes in.
class GaugeSaveProgress final : public SaveProgress {
public:
    static constexpr std::chrono::milliseconds kPumpInterval{20};

    GaugeSaveProgress(Gauge& gauge, CancelButton& cancel, Host& host) : gauge_(gauge), cancel_(cancel), host_(host) {}
    void Show(int max) override;
    void Position(int position) override;
    void Hide() override;
    bool CancelRequested() override;

private:
    Gauge& gauge_;
    CancelButton& cancel_;
    Host& host_;
    std::chrono::steady_clock::time_point last_pump_{};
};

// The SMTP client's waits keep the window usable through the host's message handling.
class HostEventPump final : public EventPump {
public:
    explicit HostEventPump(Host& host) : host_(host) {}
    void ProcessMessages() override { host_.ProcessMessages(); }

private:
    Host& host_;
};

}  // namespace tarnwell
