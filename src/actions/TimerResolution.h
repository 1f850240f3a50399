// The system timer's resolution, raised to 1 ms only while the host paces
// input: a key combination's pauses and the repeat timers. Left alone, the
// system ticks every 15.625 ms, so a 1 ms pause would last a whole tick and a
// 20 ms repeat would come every 31.25 ms; held for good, the finer tick would
// cost power all day on a host that is idle nearly all the time.
//
// Requests are counted: overlapping needs (a key combination while auto-fire
// runs) raise once and lower once. A refused raise (TIMERR_NOCANDO) changes
// nothing else: the pacing goes on at the coarse tick, and no lower follows.
//
// The event thread (key combinations, repeat timers) and the window thread
// (forced stops) both call it; the count and the call it decides on are made
// under one lock, so a raise and a lower never cross.
#pragma once

#include <cstdint>
#include <mutex>

#include "platform/Platform.h"

namespace hidhost::actions {

inline constexpr std::uint32_t kPacingResolutionMs = 1;

class TimerResolution {
 public:
  explicit TimerResolution(platform::Timers& timers) : timers_(timers) {}
  TimerResolution(const TimerResolution&) = delete;
  TimerResolution& operator=(const TimerResolution&) = delete;

  void Request();
  // Each Request is matched by exactly one Release.
  void Release();

 private:
  platform::Timers& timers_;
  std::mutex mutex_;
  int requests_ = 0;
  bool raised_ = false;  // the system granted the raise of the first request
};

// One request for as long as the object lives.
class PacingRequest {
 public:
  explicit PacingRequest(TimerResolution& resolution) : resolution_(resolution) {
    resolution_.Request();
  }
  ~PacingRequest() { resolution_.Release(); }
  PacingRequest(const PacingRequest&) = delete;
  PacingRequest& operator=(const PacingRequest&) = delete;

 private:
  TimerResolution& resolution_;
};

}  // namespace hidhost::actions
