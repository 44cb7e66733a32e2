#pragma once

namespace tarnwell {

// How a long load shows its progress: the window adapts its gauge to this, headless runs and tests use
// their own. The loader calls Show once, Position at a bounded rate, and Hide once at the end, also
// when the load fails after Show.
class LoadProgress {
public:
    virtual ~LoadProgress() = default;
    // Makes the gauge visible with the range 0 to max, at position 0.
    virtual void Show(int max) = 0;
    virtual void Position(int position) = 0;
    virtual void Hide() = 0;
};

// Shows nothing.
class NoLoadProgress final : public LoadProgress {
public:
    void Show(int) override {}
    void Position(int) override {}
    void Hide() override {}
};

}  // namespace tarnwell
