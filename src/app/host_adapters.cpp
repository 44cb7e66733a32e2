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

}  // namespace tarnwell
