// Timing for the media benchmarks: the best of several runs, so that each figure and its reference
// are measured alike in the same process.
#pragma once

#include <algorithm>
#include <chrono>

namespace kelvarn::bench {

template <class F>
double BestSeconds(F&& run, int minRuns = 3, double minTotal = 0.3) {
    double best = 1e30, total = 0;
    for (int i = 0; i < minRuns || total < minTotal; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        best = std::min(best, s);
        total += s;
        if (i > 200) break;
    }
    return best;
}

}  // namespace kelvarn::bench
