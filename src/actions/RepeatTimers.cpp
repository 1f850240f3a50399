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

std::uint32_t PeriodOf(platform::Platform& platform, const settings::LiveSettings& settings,
                       std::uintptr_t id) {
  if (id == kAutoFireTimer) {
    return AutoFirePeriod(settings.Get(settings::Field::OTGSpeed),
                          platform.timers.MaximumTimerPeriod());
  }
  return id == kRepeatClickTimer ? kRepeatClickPeriodMs : kSwitchWindowPeriodMs;
}

}  // namespace

std::uint32_t AutoFirePeriod(std::int32_t otgSpeed, std::uint32_t maximumPeriod) {
  const std::int64_t units = otgSpeed < 1 ? 1 : otgSpeed;
  const std::int64_t period = units * kAutoFireUnitMs;
  return period > static_cast<std::int64_t>(maximumPeriod) ? maximumPeriod
                                                           : static_cast<std::uint32_t>(period);
}

void StartRepeatTimer(platform::Platform& platform, const settings::LiveSettings& settings,
                      platform::Hwnd hostWindow, std::uintptr_t id) {
  // A timer without a window would get an identifier of the system's choosing
  // that nothing ever stops.
  if (!platform::IsSet(hostWindow)) return;
  platform.timers.SetTimer(hostWindow, id, PeriodOf(platform, settings, id));
}

void StopRepeatTimer(platform::Platform& platform, platform::Hwnd hostWindow, std::uintptr_t id) {
  if (!platform::IsSet(hostWindow)) return;
  platform.timers.KillTimer(hostWindow, id);
}

void RunRepeatTimerTick(platform::Platform& platform, const settings::LiveSettings& settings,
                        const HeldFunctionFlags& flags, std::uintptr_t id) {
  if (id == kRepeatClickTimer) {
    PrimaryClick(platform, settings);
  } else if (id == kAutoFireTimer) {
    ReplayHeldFunctions(platform, flags);
  }
}

}  // namespace hidhost::actions
