// What every benchmark of the host reports besides its time.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>

#include "AllocationCounter.h"

namespace hidhost::bench {

// Counts the allocations made from its construction to Report, per iteration.
class AllocationsPerIteration {
 public:
  AllocationsPerIteration() : start_(AllocationCount()) {}
  void Report(benchmark::State& state) const {
    state.counters["allocs_per_iter"] = benchmark::Counter(
        static_cast<double>(AllocationCount() - start_), benchmark::Counter::kAvgIterations);
  }

 private:
  std::uint64_t start_;
};

}  // namespace hidhost::bench
