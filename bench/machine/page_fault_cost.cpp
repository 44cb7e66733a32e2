// What a page fault costs on this machine: fresh anonymous memory touched one byte per page, the time
// divided by the faults the process took. The kernel's zeroing of each page is part of it, as it is for
// every buffer a program fills for the first time. Figures of two machines compare only beside this one:
// on some virtual machines a fault costs three times what it costs elsewhere.
//
//   bench_page_fault [MEGABYTES]        (256 unless given)
//
// Both the wall time and the process's processor time (user and system) are divided by the faults, best
// of five rounds each: on a shared machine the wall time includes the wait for a core, the processor time
// does not, and it is the figure to compare between machines.

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "common/figure.h"

namespace {

struct Usage {
    long faults;
    double cpu_ns;
};

Usage Now() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ns = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_usec) * 1e3; };
    return {usage.ru_minflt, ns(usage.ru_utime) + ns(usage.ru_stime)};
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    if (megabytes == 0 || megabytes > 65536) {
        std::fprintf(stderr, "usage: bench_page_fault [MEGABYTES, 1 to 65536]\n");
        return 2;
    }
    const std::size_t bytes = megabytes << 20;
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    double best_ns = 1e30;
    double best_cpu_ns = 1e30;
    long faults_of_best = 0;
    for (int round = 0; round < 5; ++round) {
        void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            std::perror("mmap");
            return 1;
        }
        // No huge pages: a program's buffers mostly get small ones, and so does this measure.
        madvise(memory, bytes, MADV_NOHUGEPAGE);
        auto* bytes_of = static_cast<volatile char*>(memory);
        const Usage before = Now();
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t at = 0; at < bytes; at += page) bytes_of[at] = 1;
        const double ns = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count();
        const Usage after = Now();
        const long faults = after.faults - before.faults;
        munmap(memory, bytes);
        if (faults <= 0) continue;
        if (ns / static_cast<double>(faults) < best_ns) {
            best_ns = ns / static_cast<double>(faults);
            faults_of_best = faults;
        }
        best_cpu_ns = std::min(best_cpu_ns, (after.cpu_ns - before.cpu_ns) / static_cast<double>(faults));
    }
    if (faults_of_best == 0) {
        std::fprintf(stderr, "bench_page_fault: the process took no page faults\n");
        return 1;
    }
    std::printf("page faults: %ld in %zu MB of fresh memory, %zu-byte pages, best of 5 rounds\n", faults_of_best,
                megabytes, page);
    tarnwell::bench::PrintFigure("this machine: one page fault, fresh page zeroed",
                                 tarnwell::bench::Text("%.2f us processor (%.2f us wall)", best_cpu_ns / 1e3,
                                                       best_ns / 1e3));
    return 0;
}
