// The simulated desktop's clock and the system timer's tick that paces it.
//
// Windows wakes sleeping threads and fires window timers only on a tick of
// its system timer: every 15.625 ms unless some process holds a finer
// resolution (timeBeginPeriod). Sleep(n) therefore ends at the first tick at
// or after n ms, and a window timer fires at the first tick at or after its
// period has passed. A change of resolution restarts the ticks from that
// moment, so with 1 ms held a whole number of milliseconds is kept exactly.
//
// Time is counted in microseconds, in which both tick lengths are whole.
#pragma once

#include <cstdint>
#include <map>

namespace hidhost::sim {

inline constexpr std::uint64_t kDefaultTickUs = 15625;

class VirtualClock {
 public:
  std::uint64_t NowUs() const { return nowUs_; }
  std::uint64_t NowMs() const { return nowUs_ / 1000; }
  std::uint64_t TickUs() const;

  // The first tick at or after the moment.
  std::uint64_t FirstTickAtOrAfter(std::uint64_t us) const;
  // A sleep or a timed wait of ms that nothing cuts short.
  void Sleep(std::uint32_t ms) { nowUs_ = FirstTickAtOrAfter(nowUs_ + ms * std::uint64_t{1000}); }
  // The clock never goes back.
  void AdvanceTo(std::uint64_t us) {
    if (us > nowUs_) nowUs_ = us;
  }

  // A process's timeBeginPeriod / timeEndPeriod; resolutions at or above the
  // default tick change nothing.
  void HoldResolution(std::uint32_t ms);
  void ReleaseResolution(std::uint32_t ms);

 private:
  void Restart(std::uint64_t tickBefore);

  std::uint64_t nowUs_ = 0;
  std::uint64_t tickOriginUs_ = 0;     // where the current tick length began
  std::map<std::uint32_t, int> held_;  // resolution in ms -> requests held
};

}  // namespace hidhost::sim
