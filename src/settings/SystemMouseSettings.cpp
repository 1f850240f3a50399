#include "settings/SystemMouseSettings.h"

#include <optional>
#include <string_view>

#include "settings/LeadingDecimal.h"

namespace hidhost::settings {

namespace {

constexpr std::string_view kMouseSubkey = "Control Panel\\Mouse";
constexpr std::string_view kDesktopSubkey = "Control Panel\\Desktop";
constexpr std::int32_t kPageScrollLines = -1;  // the registry's WheelScrollLines for a page

std::optional<std::int32_t> ReadRegistryNumber(platform::Registry& registry, platform::RegKey key,
                                               std::string_view name) {
  std::array<char, 160> text{};
  if (!QueryTerminatedString(registry, key, name, text)) return std::nullopt;
  return LeadingDecimal(text.data());
}

struct MouseValue {
  std::string_view name;
  std::int32_t MouseSettings::*field;
};

// Read in this order.
constexpr std::array<MouseValue, 3> kMouseValues = {{
    {"DoubleClickSpeed", &MouseSettings::DoubleClickSpeed},
    {"SwapMouseButtons", &MouseSettings::SwapMouseButtons},
    {"MouseSensitivity", &MouseSettings::MouseSensitivity},
}};

void ReadMouseValues(platform::Registry& registry, platform::RegKey key, MouseSettings& record) {
  MouseSettings defaults{};
  SetDefaultSettings(defaults);
  for (const auto& value : kMouseValues) {
    record.*value.field =
        ReadRegistryNumber(registry, key, value.name).value_or(defaults.*value.field);
  }
  const std::int32_t speed = ReadRegistryNumber(registry, key, "MouseSpeed").value_or(0);
  const std::int32_t threshold1 = ReadRegistryNumber(registry, key, "MouseThreshold1").value_or(0);
  const std::int32_t threshold2 = ReadRegistryNumber(registry, key, "MouseThreshold2").value_or(0);
  const int preset = ClassifySpeedPreset(speed, threshold1, threshold2);
  if (preset >= 0) record.SpeedPreset = preset;
  // Derived from the field as it now stands: a preset that matched nothing
  // keeps its old value, and -1 from the initial fill means acceleration on.
  record.Acceleration = record.SpeedPreset != 0 ? 1 : 0;
}

void ReadWheelValues(platform::Registry& registry, platform::RegKey key, MouseSettings& record) {
  MouseSettings defaults{};
  SetDefaultSettings(defaults);
  const std::optional<std::int32_t> lines = ReadRegistryNumber(registry, key, "WheelScrollLines");
  if (!lines) {
    record.WheelScrollLines = defaults.WheelScrollLines;
    record.WheelPageScroll = defaults.WheelPageScroll;
  } else if (*lines == kPageScrollLines) {
    record.WheelScrollLines = 0;
    record.WheelPageScroll = 1;
  } else {
    record.WheelScrollLines = *lines;
    record.WheelPageScroll = 0;
  }
}

}  // namespace

int ReadSystemMouseSettings(platform::Platform& platform, MouseSettings& record) {
  {
    const auto mouse = OpenOrCreateKey(platform.registry, platform::kHkeyCurrentUser, kMouseSubkey);
    if (!mouse) return 0;
    ReadMouseValues(platform.registry, mouse.Get(), record);
  }
  const auto desktop =
      OpenOrCreateKey(platform.registry, platform::kHkeyCurrentUser, kDesktopSubkey);
  if (!desktop) return -1;
  ReadWheelValues(platform.registry, desktop.Get(), record);
  return 1;
}

}  // namespace hidhost::settings
