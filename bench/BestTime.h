#pragma once
// The best time of one run of a piece of work, for the benchmarks' printed figures.
#include <algorithm>
#include <chrono>

namespace bench {

// Where each run's result goes, so that the work is not optimised away.
inline volatile unsigned long long sink;

// Runs f repeatedly for at least `seconds` (and three times at least); returns the best time
// of one run in seconds.
template <typename F>
double BestTime(F&& f, double seconds) {
  using Clock = std::chrono::steady_clock;
  double best = 1e9, total = 0;
  int runs = 0;
  while (total < seconds || runs < 3) {
    const auto t0 = Clock::now();
    sink = static_cast<unsigned long long>(f());
    const double t = std::chrono::duration<double>(Clock::now() - t0).count();
    best = std::min(best, t);
    total += t;
    ++runs;
  }
  return best;
}

}  // namespace bench
