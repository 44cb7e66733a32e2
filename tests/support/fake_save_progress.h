#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <vector>

#include "support/heap_in_use.h"
#include "text/save_progress.h"

namespace tarnwell::testing_support {

// A save's progress as a test sees it: the gauge's range and positions, how often it was hidden again, and
// the most heap the process held at any step. It asks to stop the save at the given step (0: never), and
// runs `at_step` at every step, before it answers.
class FakeSaveProgress final : public SaveProgress {
public:
    explicit FakeSaveProgress(int stop_at_step = 0, std::function<void()> at_step = {})
        : stop_at_step_(stop_at_step), at_step_(std::move(at_step)) {}

    void Show(int max) override { shown.push_back(max); }
    void Position(int position) override { positions.push_back(position); }
    void Hide() override { ++hidden; }
    bool CancelRequested() override {
        if (const auto heap = HeapInUse()) peak_heap = std::max(peak_heap, *heap);
        if (at_step_) at_step_();
        return ++steps == stop_at_step_;
    }

    std::vector<int> shown;
    std::vector<int> positions;
    int hidden = 0;
    int steps = 0;
    std::size_t peak_heap = 0;

private:
    int stop_at_step_;
    std::function<void()> at_step_;
};

}  // namespace tarnwell::testing_support
