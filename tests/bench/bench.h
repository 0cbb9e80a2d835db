// A small timing harness for the benchmarks: each measure is the best of a
// few runs, and a comparison prints the ratio against a baseline, so that a
// reader sees at once whether our code keeps up with what it replaces.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

namespace bench {

// The best of runs of work, each timed alone after before, which undoes
// what the run before left (a file to delete) and is not counted.
template <class Before, class Work>
double BestSecondsAfter(Before&& before, Work&& work, int runs) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        before();
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count());
    }
    return best;
}

template <class Work>
double BestSeconds(Work&& work, int runs = 5) {
    return BestSecondsAfter([] {}, work, runs);
}

// Prints "what: ours X ms, baseline Y ms, ratio R" (R below 1: ours faster).
template <class Ours, class Baseline>
double Compare(std::string_view what, Ours&& ours, std::string_view baselineName,
               Baseline&& baseline) {
    const double a = BestSeconds(ours);
    const double b = BestSeconds(baseline);
    std::printf("%-44.*s ours %8.2f ms, %s %8.2f ms, ratio %.2f\n", static_cast<int>(what.size()),
                what.data(), a * 1e3, std::string(baselineName).c_str(), b * 1e3, a / b);
    return a / b;
}

}  // namespace bench
