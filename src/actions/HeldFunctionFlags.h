// Repeatable functions whose button is being held. Written by the event
// thread (press and release halves), read by the window thread (timer 202);
// each flag is an atomic, so the timer sees it as 0 or 1.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>

namespace hidhost::actions {

// In the order timer 202 replays them.
enum class HeldFunction : std::size_t {
  LeftButton,
  RightButton,
  MiddleButton,
  XButton1,
  XButton2,
  WKey,
  SKey,
  VolumeUp,
  VolumeDown,
  Count,
};

class HeldFunctionFlags {
 public:
  HeldFunctionFlags() {
    for (auto& flag : flags_) flag.store(false, std::memory_order_relaxed);
  }
  void Set(HeldFunction function, bool held) {
    flags_[static_cast<std::size_t>(function)].store(held, std::memory_order_release);
  }
  void ClearAll() {
    for (auto& flag : flags_) flag.store(false, std::memory_order_release);
  }
  bool IsHeld(HeldFunction function) const {
    return flags_[static_cast<std::size_t>(function)].load(std::memory_order_acquire);
  }

 private:
  std::array<std::atomic<bool>, static_cast<std::size_t>(HeldFunction::Count)> flags_;
};

}  // namespace hidhost::actions
