#pragma once

// One figure of a benchmark beside its target, in the one form that `make bench` gathers into the table it
// prints at the end (bench/summary):
//
//     figure: <what> | <figure> | <target> | <verdict>
//
// A figure without a target says "-" for both. Python benchmarks print the same line.

#include <cstdio>
#include <string>

namespace tarnwell::bench {

inline void PrintFigure(const std::string& what, const std::string& figure, const std::string& target = "-",
                        const std::string& verdict = "-") {
    std::printf("figure: %s | %s | %s | %s\n", what.c_str(), figure.c_str(), target.c_str(), verdict.c_str());
    std::fflush(stdout);
}

inline const char* Verdict(bool met) {
    return met ? "met" : "NOT MET";
}

// printf into a std::string, for the figure texts.
template <typename... Args>
std::string Text(const char* format, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

}  // namespace tarnwell::bench
