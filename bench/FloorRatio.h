#pragma once
// The main() of a benchmark program that measures jobs against their floors. Each pair
// (job, floor) runs alternately, a round at a time, so a load on the shared machine falls
// on both alike; after the usual table it prints each pair's medians and their ratio.
// A --benchmark_filter given on the command line runs just that, as usual, without the
// ratios. MERVANE_BENCH_ROUNDS sets the number of rounds (default 7).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mv::bench {

struct FloorPair {
  std::string job;    // a benchmark's name, as registered
  std::string floor;  // the benchmark of its floor
};

// Keeps each run's CPU time per iteration (in ms), by benchmark name: on a shared machine
// it moves less than the wall-clock time.
class TimesReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && !r.error_occurred && r.iterations > 0)
        times[r.benchmark_name()].push_back(r.cpu_accumulated_time * 1e3 /
                                                  static_cast<double>(r.iterations));
  }
  std::map<std::string, std::vector<double>> times;
};

inline double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

inline bool filterGiven(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]).rfind("--benchmark_filter", 0) == 0) return true;
  return false;
}

// Runs the benchmarks: with a filter as asked; otherwise the pairs, alternately, then
// the others once.
inline int runWithFloors(int argc, char** argv, const std::vector<FloorPair>& pairs) {
  const bool filtered = filterGiven(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (filtered) {
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
  }
  const char* roundsText = std::getenv("MERVANE_BENCH_ROUNDS");
  const int rounds = std::max(1, roundsText ? std::atoi(roundsText) : 7);
  TimesReporter reporter;
  std::string paired;
  for (int round = 0; round < rounds; ++round)
    for (const FloorPair& p : pairs) {
      benchmark::RunSpecifiedBenchmarks(&reporter, "^" + p.job + "$");
      benchmark::RunSpecifiedBenchmarks(&reporter, "^" + p.floor + "$");
    }
  // The others once; a floor paired twice is run with each of its jobs.
  for (const FloorPair& p : pairs) paired += (paired.empty() ? "" : "|") + p.job + "|" + p.floor;
  benchmark::RunSpecifiedBenchmarks(&reporter, "-^(" + paired + ")$");
  std::printf("\n%-24s %10s %10s %7s  (medians of %d alternating rounds)\n", "job / floor",
              "job CPU ms", "floor", "ratio", rounds);
  for (const FloorPair& p : pairs) {
    const double job = median(reporter.times[p.job]);
    const double floor = median(reporter.times[p.floor]);
    std::printf("%-24s %10.3f %10.3f %6.2fx\n", (p.job + " / " + p.floor).c_str(), job, floor,
                floor > 0 ? job / floor : 0.0);
  }
  benchmark::Shutdown();
  return 0;
}

}  // namespace mv::bench
