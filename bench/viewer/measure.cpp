// Runs a program and reports its wall time, CPU time and peak memory on standard error:
//
//     measure <program> [arguments...]
//     measure: wall=1.234 user=1.000 sys=0.200 maxrss_kb=30000
//
// The peak memory of a child as wait4 reports it includes what its parent held when it forked, so a
// benchmark driver written in Python would add its own size to every figure; this small program is the
// parent instead. Its own few megabytes are the floor of what it reports.

#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: measure <program> [arguments...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror(argv[1]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) {
        std::perror("wait4");
        return 2;
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    std::fprintf(stderr, "measure: wall=%.3f user=%.3f sys=%.3f maxrss_kb=%ld\n", wall, seconds(usage.ru_utime),
                 seconds(usage.ru_stime), usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
