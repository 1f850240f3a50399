#include "actions/RepeatTimers.h"

#include <array>

#include "actions/ActionCatalogue.h"
#include "actions/ActionDispatcher.h"
#include "actions/InputBlocks.h"

namespace hidhost::actions {

namespace {

constexpr std::uint32_t kRepeatClickPeriodMs = 100;
constexpr std::uint32_t kSwitchWindowPeriodMs = 500;
constexpr std::int64_t kAutoFireUnitMs = 10;

struct Replay {
  HeldFunction flag;
  bool isKey;
  std::uint8_t keyOrButton;
};

// In replay order: the buttons first, then the keys.
constexpr std::array<Replay, static_cast<std::size_t>(HeldFunction::Count)> kReplays = {{
    {HeldFunction::LeftButton, false, static_cast<std::uint8_t>(MouseButton::Left)},
    {HeldFunction::RightButton, false, static_cast<std::uint8_t>(MouseButton::Right)},
    {HeldFunction::MiddleButton, false, static_cast<std::uint8_t>(MouseButton::Middle)},
    {HeldFunction::XButton1, false, static_cast<std::uint8_t>(MouseButton::X1)},
    {HeldFunction::XButton2, false, static_cast<std::uint8_t>(MouseButton::X2)},
    {HeldFunction::WKey, true, 'W'},
    {HeldFunction::SKey, true, 'S'},
    {HeldFunction::VolumeUp, true, 0xAF},
    {HeldFunction::VolumeDown, true, 0xAE},
}};

constexpr bool ReplaysFollowFlagOrder() {
  for (std::size_t i = 0; i < kReplays.size(); ++i) {
    if (static_cast<std::size_t>(kReplays[i].flag) != i) return false;
  }
  return true;
}
static_assert(ReplaysFollowFlagOrder());

void ReplayHeldFunctions(platform::Platform& platform, const HeldFunctionFlags& flags) {
  for (const Replay& replay : kReplays) {
    if (!flags.IsHeld(replay.flag)) continue;
    if (replay.isKey) {
      KeyTap(platform, replay.keyOrButton);
    } else {
      Click(platform, static_cast<MouseButton>(replay.keyOrButton));
    }
  }
}

}  // namespace

std::uint32_t AutoFirePeriod(std::int32_t otgSpeed, std::uint32_t maximumPeriod) {
  const std::int64_t units = otgSpeed < 1 ? 1 : otgSpeed;
  const std::int64_t period = units * kAutoFireUnitMs;
  return period > static_cast<std::int64_t>(maximumPeriod) ? maximumPeriod
                                                           : static_cast<std::uint32_t>(period);
}

std::size_t RepeatTimers::PacedSlot(std::uintptr_t id) {
  if (id == kRepeatClickTimer) return 0;
  if (id == kAutoFireTimer) return 1;
  return kNotPaced;
}

std::uint32_t RepeatTimers::PeriodOf(std::uintptr_t id) {
  if (id == kAutoFireTimer) {
    return AutoFirePeriod(settings_.Get(settings::Field::OTGSpeed),
                          platform_.timers.MaximumTimerPeriod());
  }
  return id == kRepeatClickTimer ? kRepeatClickPeriodMs : kSwitchWindowPeriodMs;
}

void RepeatTimers::Start(platform::Hwnd hostWindow, std::uintptr_t id) {
  // A timer without a window would get an identifier of the system's choosing
  // that nothing ever stops.
  if (!platform::IsSet(hostWindow)) return;
  const std::size_t slot = PacedSlot(id);
  if (slot == kNotPaced) {
    platform_.timers.SetTimer(hostWindow, id, PeriodOf(id));
    return;
  }
  std::lock_guard lock(mutex_);
  bool& running = running_[slot];
  if (!running) resolution_.Request();
  const bool started = platform_.timers.SetTimer(hostWindow, id, PeriodOf(id));
  // A refused restart leaves the running timer as it was.
  if (running) return;
  if (started) {
    running = true;
  } else {
    resolution_.Release();
  }
}

void RepeatTimers::Stop(platform::Hwnd hostWindow, std::uintptr_t id) {
  if (!platform::IsSet(hostWindow)) return;
  const std::size_t slot = PacedSlot(id);
  if (slot == kNotPaced) {
    platform_.timers.KillTimer(hostWindow, id);
    return;
  }
  std::lock_guard lock(mutex_);
  if (!running_[slot]) return;
  platform_.timers.KillTimer(hostWindow, id);
  running_[slot] = false;
  resolution_.Release();
}

void RepeatTimers::StopPacedTimers(platform::Hwnd hostWindow) {
  Stop(hostWindow, kRepeatClickTimer);
  Stop(hostWindow, kAutoFireTimer);
}

bool RepeatTimers::IsRunning(std::uintptr_t id) {
  std::lock_guard lock(mutex_);
  return running_[PacedSlot(id)];
}

void RepeatTimers::RunTick(const HeldFunctionFlags& flags, std::uintptr_t id) {
  if (PacedSlot(id) == kNotPaced || !IsRunning(id)) return;
  if (id == kRepeatClickTimer) {
    PrimaryClick(platform_, settings_);
  } else {
    ReplayHeldFunctions(platform_, flags);
  }
}

}  // namespace hidhost::actions
