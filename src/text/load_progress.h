#pragma once

namespace tarnwell {

// How a long job (the text-file load, the personal letters) shows its progress: the window adapts its
// gauge to this, headless runs and tests use their own. The job calls Show once, Position at a bounded
// rate, and Hide once at the end, also when the job fails after Show.
class LoadProgress {
public:
    virtual ~LoadProgress() = default;
    // Makes the gauge visible with the range 0 to max, at position 0.
    virtual void Show(int max) = 0;
    virtual void Position(int position) = 0;
    virtual void Hide() = 0;
};

// Keeps the gauge shown for the life of the object, so that it is hidden however the job ends.
class ProgressShown {
public:
    ProgressShown(LoadProgress& progress, int max) : progress_(progress) { progress_.Show(max); }
    ~ProgressShown() { progress_.Hide(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    LoadProgress& progress_;
};

// Shows nothing.
class NoLoadProgress final : public LoadProgress {
public:
    void Show(int) override {}
    void Position(int) override {}
    void Hide() override {}
};

}  // namespace tarnwell
