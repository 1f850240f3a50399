#include "platform/sim/VirtualClock.h"

namespace hidhost::sim {

std::uint64_t VirtualClock::TickUs() const {
  if (held_.empty()) return kDefaultTickUs;
  const std::uint64_t finest = held_.begin()->first * std::uint64_t{1000};
  return finest < kDefaultTickUs ? finest : kDefaultTickUs;
}

std::uint64_t VirtualClock::FirstTickAtOrAfter(std::uint64_t us) const {
  if (us <= tickOriginUs_) return tickOriginUs_;
  const std::uint64_t tick = TickUs();
  const std::uint64_t ticks = (us - tickOriginUs_ + tick - 1) / tick;
  return tickOriginUs_ + ticks * tick;
}

void VirtualClock::HoldResolution(std::uint32_t ms) {
  const std::uint64_t before = TickUs();
  ++held_[ms];
  Restart(before);
}

void VirtualClock::ReleaseResolution(std::uint32_t ms) {
  auto it = held_.find(ms);
  if (it == held_.end()) return;
  const std::uint64_t before = TickUs();
  if (--it->second == 0) held_.erase(it);
  Restart(before);
}

void VirtualClock::Restart(std::uint64_t tickBefore) {
  if (TickUs() != tickBefore) tickOriginUs_ = nowUs_;
}

}  // namespace hidhost::sim
