#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "app/host.h"
#include "app/report_mail_jobs.h"
#include "form/status_bar.h"
#include "text/cp1251.h"
#include "text/error.h"
#include "wingate/service_restart.h"

namespace tarnwell {

// Everything the main window asks of the world outside, noted in one list in the order it happened, texts
// in UTF-8: "message: ...", "error: ...", "warning: ...", "quit", "timer 15000", "sleep 5000", "status: ...",
// "run -stop", "MkTable export.htm", "SendMail", "SendHTM", "open ...", "clipboard: ...".
struct EventLog {
    std::vector<std::string> events;
    void Add(std::string event) { events.push_back(std::move(event)); }
};

class FakeHost final : public Host {
public:
    explicit FakeHost(EventLog& log) : log_(log) {}

    void ShowWarning(std::string_view text) override { log_.Add("warning: " + Cp1251ToUtf8(text)); }
    void ProcessMessages() override {
        if (on_process_messages) on_process_messages();
    }
    void PostQuit() override { log_.Add("quit"); }
    void StartCloseTimer(std::chrono::milliseconds interval, std::function<void()> tick) override {
        log_.Add("timer " + std::to_string(interval.count()));
        tick_ = std::move(tick);
    }
    void StopCloseTimer() override { tick_ = nullptr; }
    void Sleep(std::chrono::milliseconds duration) override { log_.Add("sleep " + std::to_string(duration.count())); }
    // The status bar is noted whenever it is drawn: what the user sees while the host blocks.
    void RepaintNow(const Control& control) override {
        if (&control == status_bar) log_.Add("status: " + Cp1251ToUtf8(status_bar->Text));
    }
    const TextWidthMeasure& TextWidth() const override { return HeadlessTextWidth(); }
    const ColorScheme& Colors() const override { return colors ? *colors : HeadlessColorScheme(); }
    // Not in the event log: counted, and the window's re-reading can be played by `on_controls_changed`.
    void ControlsChanged() override {
        ++controls_changed;
        if (on_controls_changed) on_controls_changed();
    }
    bool ExecuteSaveDialog(SaveDialog& dialog) override { return save_dialog ? save_dialog(dialog) : false; }
    void ShellOpen(std::string_view target) override { log_.Add("open " + Cp1251ToUtf8(target)); }
    void SetClipboardText(std::string_view text) override { log_.Add("clipboard: " + Cp1251ToUtf8(text)); }

    // The close timer's tick, as the event loop would run it.
    void Tick() const {
        if (tick_) tick_();
    }

    const StatusBar* status_bar = nullptr;
    const ColorScheme* colors = nullptr;
    int controls_changed = 0;
    std::function<void()> on_controls_changed;
    // What the user does while a handler lets his events through (a save, a mail job waiting).
    std::function<void()> on_process_messages;
    // What the user does in a save dialog: none cancels every one.
    std::function<bool(SaveDialog&)> save_dialog;

protected:
    void ShowMessageBox(std::string_view text) override { log_.Add("message: " + Cp1251ToUtf8(text)); }
    void ShowErrorBox(std::string_view text) override { log_.Add("error: " + Cp1251ToUtf8(text)); }

private:
    EventLog& log_;
    std::function<void()> tick_;
};

// The service program: there unless the test moves it away.
class FakeRunner final : public ProgramRunner {
public:
    explicit FakeRunner(EventLog& log, bool program_runs = true) : log_(log), program_runs_(program_runs) {}
    bool CanRun(const std::string&) override { return program_runs_; }
    void Run(const std::string&, const std::string& argument) override { log_.Add("run " + argument); }

private:
    EventLog& log_;
    bool program_runs_;
};

// Report and mail jobs that note their calls; the one named in `failing` raises an error instead. `during`
// runs inside every job, as the events a job pumps while it waits would.
class FakeJobs final : public ReportMailJobs {
public:
    FakeJobs(EventLog& log, std::string failing = {}, std::function<void()> during = {})
        : log_(log), failing_(std::move(failing)), during_(std::move(during)) {}
    void MkTable(const std::string& file_name, TTableGrid&) override { Note("MkTable " + Cp1251ToUtf8(file_name)); }
    void SendMail(TTableGrid&) override { Note("SendMail"); }
    void SendHTM(TTableGrid&) override { Note("SendHTM"); }

private:
    void Note(const std::string& event) {
        if (during_) during_();
        if (!failing_.empty() && event.rfind(failing_, 0) == 0) throw Error(failing_ + " failed");
        log_.Add(event);
    }

    EventLog& log_;
    std::string failing_;
    std::function<void()> during_;
};

}  // namespace tarnwell
