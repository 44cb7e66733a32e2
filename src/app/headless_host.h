#pragma once

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/host.h"

namespace tarnwell {

// The host of a run without a display: a scheduler's run of a switch or of the autorun jobs. Message and
// error boxes become lines on standard error, "Tarnwell: " and the text in UTF-8. There is no event loop:
// once the start-up is over, a queued quit ends the program; otherwise a running close timer closes the
// window at once (with the close handler's auto-save) instead of 15 seconds later; then the program ends.
// The exit status (Host::ExitStatus) tells the scheduler whether anything was shown: 0 when nothing, 1
// otherwise. A text of several lines (an error with its notes) gives several lines, each with the prefix.
//
// A message box of the window holds one sentence; a line in a log must also say where the program looked.
// A note added for a named message is printed as a line of its own right after that message.
class HeadlessHost final : public Host {
public:
    explicit HeadlessHost(std::ostream& out);

    // After every showing of the named message, the line "Tarnwell: " and `note` (UTF-8, printed as it
    // stands).
    void AddNote(MessageName message, std::string note);

    void ShowNamedMessage(MessageName name) override;
    // A line like a message's that leaves the exit status as it is.
    void ShowWarning(std::string_view text) override;
    void ProcessMessages() override {}
    void PostQuit() override { quit_queued_ = true; }
    void StartCloseTimer(std::chrono::milliseconds interval, std::function<void()> tick) override;
    void StopCloseTimer() override { close_tick_ = nullptr; }
    void Sleep(std::chrono::milliseconds duration) override;
    void RepaintNow(const Control&) override {}
    const TextWidthMeasure& TextWidth() const override { return HeadlessTextWidth(); }
    const ColorScheme& Colors() const override { return HeadlessColorScheme(); }
    void ControlsChanged() override {}
    bool ExecuteSaveDialog(SaveDialog& dialog) override;
    void ShellOpen(std::string_view target) override;
    // Without a display there is no clipboard, and no user to press Ctrl+C: nothing is kept.
    void SetClipboardText(std::string_view) override {}

    // What the event loop would do after the start-up: nothing when a quit is queued (the loop takes it
    // first), else the close timer's tick when it runs.
    void RunEventLoop();

protected:
    void ShowMessageBox(std::string_view text) override;
    void ShowErrorBox(std::string_view text) override;

private:
    // Each line of the text on a line of its own, "Tarnwell: " before it.
    void Print(std::string_view utf8);

    std::ostream& out_;
    bool quit_queued_ = false;
    std::function<void()> close_tick_;
    std::vector<std::pair<MessageName, std::string>> notes_;
};

}  // namespace tarnwell
