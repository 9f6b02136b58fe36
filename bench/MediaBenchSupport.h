// What the media benchmarks share: timing as the best of several runs, so that each figure and its
// reference are measured alike in the same process, and the picture comparison.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "shell/Image32.h"

namespace kelvarn::bench {

template <class F>
double BestSeconds(F&& run, int minRuns = 5, double minTotal = 0.5) {
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

// The largest difference of any colour channel; 999 when the sizes differ.
inline int MaxDifference(const Image32& a, const Image32& b) {
    if (a.Width != b.Width || a.Height != b.Height) return 999;
    int d = 0;
    for (std::size_t i = 0; i < a.Pixels.size(); ++i)
        for (int s = 0; s < 24; s += 8)
            d = std::max(d, std::abs(static_cast<int>((a.Pixels[i] >> s) & 255) - static_cast<int>((b.Pixels[i] >> s) & 255)));
    return d;
}

}  // namespace kelvarn::bench
