// Calls that a scenario has told to fail, and how many more times.
#pragma once

#include <array>

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

}  // namespace hidhost::sim
