#pragma once
// Wall-clock timing for the benchmarks; figures are reported as ratios against a
// baseline measured in the same run, since the machine is shared.
#include <chrono>
#include <cstdio>

namespace tesvar::bench {

template <class F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline void Report(const char* what, long entries, double seconds, double baselineSeconds) {
    std::printf("%-48s %8ld entries  %8.3f s  %12.0f entries/s  %6.2fx baseline\n", what, entries, seconds,
                static_cast<double>(entries) / seconds, seconds / baselineSeconds);
}

}  // namespace tesvar::bench
