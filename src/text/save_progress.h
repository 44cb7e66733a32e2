#pragma once

#include <cstdint>

#include "text/error.h"
#include "text/load_progress.h"

namespace tarnwell {

// How a save that the user may stop shows its progress: the gauge of LoadProgress, and between two steps
// the question whether the user asked the save to stop. The window answers it after handling the events
// that wait (a click on the cancel button, the Escape key); headless runs and tests have their own answer.
class SaveProgress : public LoadProgress {
public:
    // True once the user has asked the save to stop.
    virtual bool CancelRequested() = 0;
};

// A save stopped at the user's request. The writer that stops leaves the file it was replacing as it was.
class ESaveCancelled : public Error {
public:
    ESaveCancelled();
};

// Shows nothing and is never cancelled.
class NoSaveProgress final : public SaveProgress {
public:
    void Show(int) override {}
    void Position(int) override {}
    void Hide() override {}
    bool CancelRequested() override { return false; }
};

// A save's progress over `total` units of work (rows, for the writers), shown on the gauge in per mille
// for the life of the object: the progress hears of every tenth of a percent done, at most a thousand
// times however large the save, and each time it may stop the save.
//
//     SaveMeter meter(progress, rows);
//     for (...) { write a row; meter.Advance(); }  // ESaveCancelled when the user stops the save
class SaveMeter {
public:
    static constexpr int kScale = 1000;

    SaveMeter(SaveProgress& progress, std::uint64_t total);
    ~SaveMeter();
    SaveMeter(const SaveMeter&) = delete;
    SaveMeter& operator=(const SaveMeter&) = delete;

    // `units` more done. Throws ESaveCancelled when the progress says the user asked to stop.
    void Advance(std::uint64_t units = 1) {
        done_ += units;
        if (done_ >= next_report_) Report();
    }

private:
    void Report();

    SaveProgress& progress_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    std::uint64_t next_report_ = 0;
};

}  // namespace tarnwell
