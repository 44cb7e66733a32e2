#include "app/headless_host.h"

#include <ostream>
#include <string>
#include <thread>

#include "app/error_box_text.h"
#include "app/shell_open.h"
#include "text/cp1251.h"

namespace tarnwell {

HeadlessHost::HeadlessHost(std::ostream& out) : out_(out) {}

void HeadlessHost::AddNote(MessageName message, std::string note) {
    notes_.emplace_back(message, std::move(note));
}

void HeadlessHost::Print(std::string_view utf8) {
    for (;;) {
        const std::size_t end = utf8.find('\n');
        out_ << "Tarnwell: " << utf8.substr(0, end) << '\n';
        if (end == std::string_view::npos) break;
        utf8.remove_prefix(end + 1);
    }
    out_ << std::flush;
}

void HeadlessHost::ShowMessageBox(std::string_view text) {
    Print(Cp1251ToUtf8(text));
}

void HeadlessHost::ShowNamedMessage(MessageName name) {
    ShowMessage(MessageText(name));
    for (const auto& [message, note] : notes_) {
        if (message == name) Print(note);
    }
}

void HeadlessHost::ShowErrorBox(std::string_view text) {
    Print(Cp1251ToUtf8(ErrorBoxText(text)));
}

void HeadlessHost::ShowWarning(std::string_view text) {
    Print(Cp1251ToUtf8(text));
}

void HeadlessHost::StartCloseTimer(std::chrono::milliseconds, std::function<void()> tick) {
    close_tick_ = std::move(tick);
}

void HeadlessHost::Sleep(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

// No one is there to pick a file: the dialog counts as cancelled.
bool HeadlessHost::ExecuteSaveDialog(SaveDialog&) {
    return false;
}

Answer HeadlessHost::Ask(std::string_view, Choices choices) {
    return choices == Choices::YesNo ? Answer::Yes : Answer::Discard;
}

void HeadlessHost::ShellOpen(std::string_view target) {
    ShellOpenDocument(target);
}

// The ticks of the close timer follow each other at once, until one closes the window (or a close that
// fails stops the timer). A bound keeps a scheduler's run from spinning for ever on a timer that never
// stops: the auto-close counts down in 15 ticks.
void HeadlessHost::RunEventLoop() {
    constexpr int kMaxTicks = 1000;
    for (int ticks = 0; ticks < kMaxTicks && !quit_queued_ && close_tick_; ++ticks) {
        // A copy, since closing stops the timer.
        auto tick = close_tick_;
        tick();
    }
}

}  // namespace tarnwell
