// Timing of widget work: the best of several runs, each ending with the events it queued handled, so
// a widget that defers its painting pays for it inside the run.
#pragma once

#include <QApplication>
#include <algorithm>
#include <chrono>

namespace kelvarn::bench {

template <class F>
double BestSecondsWithEvents(F&& f, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        f();
        QApplication::processEvents();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace kelvarn::bench
