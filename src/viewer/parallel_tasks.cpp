#include "viewer/parallel_tasks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tarnwell {
namespace {

constexpr std::size_t kBytesPerExtraThread = std::size_t{4} << 20;
constexpr unsigned kMaxThreads = 8;

}  // namespace

unsigned ThreadsFor(std::size_t bytes) {
    if (bytes < kBytesPerExtraThread) return 1;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const auto worth = static_cast<unsigned>(std::min<std::size_t>(bytes / kBytesPerExtraThread + 1, kMaxThreads));
    return std::min({cores, kMaxThreads, worth});
}

void RunTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t, bool)>& task) {
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::exception_ptr first_error;
    std::mutex error_lock;

    auto work = [&](bool on_calling_thread) {
        for (;;) {
            if (failed.load(std::memory_order_relaxed)) return;
            const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= count) return;
            try {
                task(i, on_calling_thread);
            } catch (...) {
                std::lock_guard<std::mutex> lock(error_lock);
                if (!first_error) first_error = std::current_exception();
                failed.store(true, std::memory_order_relaxed);
                return;
            }
        }
    };

    std::vector<std::thread> workers;
    const std::size_t extra = std::min<std::size_t>(threads > 1 ? threads - 1 : 0, count > 1 ? count - 1 : 0);
    workers.reserve(extra);
    for (std::size_t t = 0; t < extra; ++t) {
        try {
            workers.emplace_back(work, false);
        } catch (const std::system_error&) {
            break;  // the threads started so far, and this one, do the work
        }
    }
    work(true);
    for (std::thread& worker : workers) worker.join();
    if (first_error) std::rethrow_exception(first_error);
}

}  // namespace tarnwell
