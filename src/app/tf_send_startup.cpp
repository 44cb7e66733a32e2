// The start-up sequence of the main window and the jobs of the command-line switches.

#include "app/tf_send.h"
#include "settings/settings.h"

namespace tarnwell {

void TFSend::FormCreate(const std::optional<std::string>& first_argument) {
    // The sequence ends where an error stands, shown in the error box; the window opens for use.
    RunHandler([&] { StartUp(first_argument); });
}

// Each step that returns false has shown its own message; the sequence then ends without a word more.
void TFSend::StartUp(const std::optional<std::string>& first_argument) {
    c_.PC1.SetActivePageIndex(kViewerPage);
    auto show_last_file = [this](const std::string& path) { ShowLastFile(path); };
    if (!ReadSet(c_, host_, show_last_file, setup_.settings_folder)) return;
    if (!SBToStatClick()) return;

    if (first_argument) {
        // At most one switch can equal the argument, so at most one job runs.
        if (std::optional<Switch> which = MatchSwitch(*first_argument)) {
            if (!RunSwitch(*which)) return;
        } else {
            host_.ShowNamedMessage(MessageName::kWrongSwitch);
        }
        // Taken by the event loop once the sequence is over; autorun still runs before.
        host_.PostQuit();
    }

    if (c_.ChLBRun.Checked(0) || c_.ChLBRun.Checked(1) || c_.ChLBRun.Checked(2)) SendAll(c_.ASGRead);
}

bool TFSend::RunSwitch(Switch which) {
    switch (which) {
        case Switch::SetLimit:
            // The month's closing figures, those of the start-up's refresh, before the reset changes them.
            history_.RecordClosing(figures_);
            if (!SBLimitClick()) return false;
            SBSetClick();
            return SBSaveLimClick();
        case Switch::CreateHtml:
            MkReport(c_.ASGRead);
            return true;
        case Switch::SendHtml:
            setup_.jobs->SendHTM(c_.ASGRead);
            return true;
        case Switch::SendMail:
            setup_.jobs->SendMail(c_.ASGRead);
            return true;
    }
    return true;
}

}  // namespace tarnwell
