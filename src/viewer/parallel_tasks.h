#pragma once

#include <cstddef>
#include <functional>

namespace tarnwell {

// The worker threads of the log loader and of the search: the only threads of the program besides its
// own, each started and joined inside one call, so that callers see one finished result.

// How many threads work of `bytes` bytes is worth: 1 (the calling thread alone) below a few megabytes,
// where starting a thread costs more than it saves; otherwise one more for every few megabytes, up to
// one per core and at most 8.
unsigned ThreadsFor(std::size_t bytes);

// Runs task(i, on_calling_thread) once for every i from 0 to count - 1 on `threads` threads: the calling
// thread and threads - 1 started here. Each thread takes the next i when it is free, so the tasks start
// in order. on_calling_thread is true for the tasks the calling thread runs: only they may report
// progress to a window. A thread that cannot be started leaves its share to the others. When a task
// throws, no further task is started, and once every thread has ended the first exception is thrown.
void RunTasks(std::size_t count, unsigned threads, const std::function<void(std::size_t, bool)>& task);

}  // namespace tarnwell
