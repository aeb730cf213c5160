// Timing shared by the benchmarks: the mean cost of a counted number of calls,
// and the best cost of a repetition over a few runs that each last a while.
#pragma once
#include <algorithm>
#include <chrono>

namespace bench {

using Clock = std::chrono::steady_clock;

// Mean microseconds per call over `calls` calls, after `warmUps` calls that are not measured.
template <typename Call>
double MicrosecondsPerCall(int calls, int warmUps, Call call) {
  for (int i = 0; i < warmUps; ++i) call();
  Clock::time_point start = Clock::now();
  for (int i = 0; i < calls; ++i) call();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / calls;
}

// Best seconds per repetition over `runs` runs, each repeated until it lasts at least `minimum`.
// `work(repetition)` receives the number of the repetition within its run, counted from 0.
template <typename Work>
double BestSecondsPerRepetition(int runs, std::chrono::milliseconds minimum, Work work) {
  double best = 1e300;
  for (int run = 0; run < runs; ++run) {
    long repetitions = 0;
    Clock::time_point start = Clock::now(), now;
    do {
      work(repetitions);
      ++repetitions;
      now = Clock::now();
    } while (now - start < minimum);
    best = std::min(best, std::chrono::duration<double>(now - start).count() / static_cast<double>(repetitions));
  }
  return best;
}

}  // namespace bench
