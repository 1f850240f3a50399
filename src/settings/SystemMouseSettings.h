// The user's system mouse settings: read from the registry, pushed to the system.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Platform.h"
#include "settings/LiveSettings.h"
#include "settings/MouseSettings.h"
#include "settings/RegistryKey.h"

namespace hidhost::settings {

struct SpeedPresetRow {
  std::int32_t mouseSpeed;
  std::int32_t threshold1Bound;
  std::int32_t threshold2Bound;
};

extern const std::array<SpeedPresetRow, 20> kSpeedPresetTable;

// The last row that matches, or -1 when none does.
int ClassifySpeedPreset(std::int32_t speed, std::int32_t threshold1, std::int32_t threshold2);

// 1 all read, 0 Control Panel\Mouse unusable (record untouched), -1 Control
// Panel\Desktop unusable (wheel fields untouched). A value that is absent or
// unreadable gives its field the record's default; the acceleration numbers
// then count as 0.
int ReadSystemMouseSettings(platform::Platform& platform, MouseSettings& record);

// Double-click time, button swap, pointer speed and acceleration, wheel
// lines, in that order; WM_WININICHANGE to the host window after each
// SystemParametersInfoA. Window thread.
void ApplySystemMouseSettings(platform::Platform& platform, platform::Hwnd hostWindow,
                              RegistryKey& mouseKey, LiveSettings& settings);

// The four steps of ApplySystemMouseSettings.
void ApplyDoubleClickTime(platform::Platform& platform, const LiveSettings& settings);
void ApplyButtonSwap(platform::Platform& platform, platform::Hwnd hostWindow,
                     const LiveSettings& settings);
// Clears the registry's acceleration values, and SpeedPreset, when
// acceleration is off; mouseKey is the host window's Control Panel\Mouse key.
void ApplyPointerSpeed(platform::Platform& platform, platform::Hwnd hostWindow,
                       RegistryKey& mouseKey, LiveSettings& settings);
void ApplyWheelLines(platform::Platform& platform, platform::Hwnd hostWindow,
                     const LiveSettings& settings);

}  // namespace hidhost::settings
