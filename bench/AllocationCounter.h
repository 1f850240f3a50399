// Counts the calls of the global allocation functions in this benchmark
// binary, so that a benchmark can show how many allocations one event costs.
#pragma once

#include <cstdint>

namespace hidhost::bench {

// Allocations made so far by every thread of the process.
std::uint64_t AllocationCount();

}  // namespace hidhost::bench
