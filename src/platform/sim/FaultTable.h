// Calls that a scenario has told to fail, and how many more times; and how
// often each call was made, so that a fault test can tell whether the fault
// it armed was ever reached.
#pragma once

#include <array>
#include <atomic>

#include "platform/sim/Win32Calls.h"

namespace hidhost::sim {

class FaultTable {
 public:
  static constexpr int kAlways = -1;

  // The call fails its next `times` calls; kAlways makes it fail from now on.
  void Arm(Call call, int times) { remaining_[Index(call)] = times < 0 ? kAlways : times; }
  // True when this call is to fail; counts the failure.
  bool Consume(Call call) {
    int& left = remaining_[Index(call)];
    if (left == 0) return false;
    if (left > 0) --left;
    return true;
  }

 private:
  static std::size_t Index(Call call) { return static_cast<std::size_t>(call); }
  std::array<int, static_cast<std::size_t>(Call::kCount)> remaining_{};
};

// Atomic, so that a test may read them while the host's threads run.
class CallCounts {
 public:
  void Count(Call call) { counts_[Index(call)].fetch_add(1, std::memory_order_relaxed); }
  long Of(Call call) const { return counts_[Index(call)].load(std::memory_order_relaxed); }
  // Event words the host has read from the driver.
  void CountEventRead() { eventReads_.fetch_add(1, std::memory_order_relaxed); }
  long EventReads() const { return eventReads_.load(std::memory_order_relaxed); }

 private:
  static std::size_t Index(Call call) { return static_cast<std::size_t>(call); }
  std::array<std::atomic<long>, static_cast<std::size_t>(Call::kCount)> counts_{};
  std::atomic<long> eventReads_{0};
};

}  // namespace hidhost::sim
