#include "app/host_adapters.h"

#include <string>

namespace tarnwell {

void StatusBarText::SetStatusText(std::string_view text) {
    bar_.Text = std::string(text);
    host_.RepaintNow(bar_);
}

void GaugeProgress::Show(int max) {
    gauge_.SetRange(0, max);
    gauge_.SetPosition(0);
    gauge_.Visible = true;
    host_.RepaintNow(gauge_);
}

void GaugeProgress::Position(int position) {
    gauge_.SetPosition(position);
    host_.RepaintNow(gauge_);
}

void GaugeProgress::Hide() {
    gauge_.Visible = false;
    host_.RepaintNow(gauge_);
}

void GaugeSaveProgress::Show(int max) {
    gauge_.SetRange(0, max);
    gauge_.SetPosition(0);
    gauge_.Visible = true;
    cancel_.Arm();
    cancel_.Visible = true;
    host_.RepaintNow(gauge_);
    host_.RepaintNow(cancel_);
    // The first step handles the events at once: the cancel button is there from the save's start.
    last_pump_ = {};
}

void GaugeSaveProgress::Position(int position) {
    gauge_.SetPosition(position);
}

bool GaugeSaveProgress::CancelRequested() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_pump_ >= kPumpInterval) {
        last_pump_ = now;
        host_.RepaintNow(gauge_);
        host_.ProcessMessages();
    }
    return cancel_.Requested();
}

void GaugeSaveProgress::Hide() {
    gauge_.Visible = false;
    cancel_.Visible = false;
    host_.RepaintNow(gauge_);
    host_.RepaintNow(cancel_);
}

}  // namespace tarnwell
