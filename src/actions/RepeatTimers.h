// The host window's repeat timers: 200 repeats the primary click, 202 replays
// the held functions, 100 only keeps the window switcher's rhythm.
//
// 200 and 202 pace input, so the system timer runs at 1 ms from just before
// the first of them starts until just after the last of them stops; without
// it a 20 ms repeat would come every 31.25 ms. Whether each runs is known
// here, so that every start is matched by one stop whichever way it comes: a
// release, the mouse going away, the console disconnecting, the tear-down, or
// a start the system refused.
//
// Threads: the event thread starts and stops (press and release halves, the
// mouse going away); the window thread ticks and stops (console disconnect,
// tear-down). One lock keeps each timer's state together with its call.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>

#include "actions/HeldFunctionFlags.h"
#include "actions/TimerResolution.h"
#include "platform/Platform.h"
#include "settings/LiveSettings.h"

namespace hidhost::actions {

// OTGSpeed counts 10 ms units. A zero or negative speed repeats as fast as
// allowed (one unit) rather than handing the system a period it rejects, and
// a huge one stops at the longest period the system accepts.
std::uint32_t AutoFirePeriod(std::int32_t otgSpeed, std::uint32_t maximumPeriod);

class RepeatTimers {
 public:
  RepeatTimers(platform::Platform& platform, const settings::LiveSettings& settings,
               TimerResolution& resolution)
      : platform_(platform), settings_(settings), resolution_(resolution) {}
  RepeatTimers(const RepeatTimers&) = delete;
  RepeatTimers& operator=(const RepeatTimers&) = delete;

  // Starting a running timer restarts it with the period of the moment.
  void Start(platform::Hwnd hostWindow, std::uintptr_t id);
  // A paced timer that is not running has nothing to stop.
  void Stop(platform::Hwnd hostWindow, std::uintptr_t id);
  // Stops 200 and 202 where they run.
  void StopPacedTimers(platform::Hwnd hostWindow);

  // One WM_TIMER tick of the host window; identifiers without a task do
  // nothing, and neither does a tick of a paced timer already stopped.
  void RunTick(const HeldFunctionFlags& flags, std::uintptr_t id);

 private:
  static constexpr std::size_t kNotPaced = 2;
  static std::size_t PacedSlot(std::uintptr_t id);
  std::uint32_t PeriodOf(std::uintptr_t id);
  bool IsRunning(std::uintptr_t id);

  platform::Platform& platform_;
  const settings::LiveSettings& settings_;
  TimerResolution& resolution_;
  std::mutex mutex_;
  std::array<bool, kNotPaced> running_{};  // 200, 202
};

}  // namespace hidhost::actions
