#include <array>
#include <string>
#include <string_view>

#include "platform/Constants.h"
#include "settings/LeadingDecimal.h"
#include "settings/SystemMouseSettings.h"

namespace hidhost::settings {

namespace {

// Without SPIF_UPDATEINIFILE: the registry already holds what is applied,
// and the pointer step writes the acceleration values itself.
void SetSystemParameter(platform::Platform& platform, platform::Hwnd hostWindow,
                        std::uint32_t action, std::uint32_t uiParam,
                        const platform::SpiArgument& pvParam) {
  platform.input.SystemParametersInfo(action, uiParam, pvParam, platform::kSpifSendChange);
  platform.windows.SendMessage(hostWindow, platform::kWmWinIniChange, action, 0);
}

struct Acceleration {
  std::int32_t speed = 0;
  std::int32_t threshold2 = 0;
  std::int32_t threshold1 = 0;
};

// A value that cannot be read counts as 0.
std::int32_t ReadAccelerationValue(RegistryKey& mouseKey, std::string_view name) {
  std::array<char, 260> text{};
  mouseKey.ReadString(name, text);
  return LeadingDecimal(text.data());
}

Acceleration ReadAcceleration(RegistryKey& mouseKey) {
  Acceleration values;
  values.speed = ReadAccelerationValue(mouseKey, "MouseSpeed");
  values.threshold2 = ReadAccelerationValue(mouseKey, "MouseThreshold2");
  values.threshold1 = ReadAccelerationValue(mouseKey, "MouseThreshold1");
  return values;
}

void ClearAcceleration(RegistryKey& mouseKey) {
  const std::string zero = std::to_string(0);
  mouseKey.WriteString("MouseSpeed", zero);
  mouseKey.WriteString("MouseThreshold2", zero);
  mouseKey.WriteString("MouseThreshold1", zero);
}

}  // namespace

void ApplyDoubleClickTime(platform::Platform& platform, const LiveSettings& settings) {
  platform.input.SetDoubleClickTime(
      static_cast<std::uint32_t>(settings.Get(Field::DoubleClickSpeed)));
}

void ApplyButtonSwap(platform::Platform& platform, platform::Hwnd hostWindow,
                     const LiveSettings& settings) {
  const std::int32_t swap = settings.Get(Field::SwapMouseButtons);
  platform.input.SystemParametersInfo(platform::kSpiSetMouseButtonSwap,
                                      static_cast<std::uint32_t>(swap),
                                      platform::SpiArgument::Null(), platform::kSpifSendChange);
  platform.input.SwapMouseButton(swap != 0);
  platform.windows.SendMessage(hostWindow, platform::kWmWinIniChange,
                               platform::kSpiSetMouseButtonSwap, 0);
}

void ApplyPointerSpeed(platform::Platform& platform, platform::Hwnd hostWindow,
                       RegistryKey& mouseKey, LiveSettings& settings) {
  Acceleration values = ReadAcceleration(mouseKey);
  const bool anySet = values.speed != 0 || values.threshold2 != 0 || values.threshold1 != 0;
  if (settings.Get(Field::Acceleration) != 1 && anySet) {
    settings.Set(Field::SpeedPreset, 0);
    values = Acceleration{};
    ClearAcceleration(mouseKey);
  }
  SetSystemParameter(
      platform, hostWindow, platform::kSpiSetMouse, 0,
      platform::SpiArgument::Triple(values.threshold1, values.threshold2, values.speed));
  SetSystemParameter(platform, hostWindow, platform::kSpiSetMouseSpeed, 0,
                     platform::SpiArgument::Value(settings.Get(Field::MouseSensitivity)));
}

void ApplyWheelLines(platform::Platform& platform, platform::Hwnd hostWindow,
                     const LiveSettings& settings) {
  const std::uint32_t lines =
      settings.Get(Field::WheelPageScroll) != 0
          ? platform::kWheelPageScroll
          : static_cast<std::uint32_t>(settings.Get(Field::WheelScrollLines));
  SetSystemParameter(platform, hostWindow, platform::kSpiSetWheelScrollLines, lines,
                     platform::SpiArgument::Null());
}

void ApplySystemMouseSettings(platform::Platform& platform, platform::Hwnd hostWindow,
                              RegistryKey& mouseKey, LiveSettings& settings) {
  ApplyDoubleClickTime(platform, settings);
  ApplyButtonSwap(platform, hostWindow, settings);
  ApplyPointerSpeed(platform, hostWindow, mouseKey, settings);
  ApplyWheelLines(platform, hostWindow, settings);
}

}  // namespace hidhost::settings
