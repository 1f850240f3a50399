#include "actions/RepeatTimers.h"

#include "actions/ActionCatalogue.h"
#include "actions/ActionDispatcher.h"
#include "actions/InputBlocks.h"

namespace hidhost::actions {

namespace {

constexpr std::uint32_t kRepeatClickPeriodMs = 100;
constexpr std::uint32_t kSwitchWindowPeriodMs = 500;
constexpr std::int64_t kAutoFireUnitMs = 10;

// The held functions in flag order: the buttons first, then the keys. A held
// button repeats as clicks, a held key as taps, of what its press sent.
void ReplayHeldFunctions(platform::Platform& platform, const HeldFunctionFlags& flags) {
  for (std::size_t f = 0; f < static_cast<std::size_t>(HeldFunction::Count); ++f) {
    const auto function = static_cast<HeldFunction>(f);
    if (!flags.IsHeld(function)) continue;
    const ActionHalf& press = PressHolding(function);
    if (press.output == Output::ButtonDown) {
      Click(platform, press.Button());
    } else {
      KeyTap(platform, press.key);
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
