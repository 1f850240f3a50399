#include "settings/MouseSettings.h"

#include "settings/ButtonLayout.h"

namespace hidhost::settings {

namespace {

struct FieldDefault {
  std::int32_t MouseSettings::*field;
  std::int32_t value;
};

// The fields that the initial fill and the defaults cover. MouseColor is not
// among them: it belongs to config.ini alone.
constexpr std::array<FieldDefault, 21> kFieldDefaults = {{
    {&MouseSettings::SwapMouseButtons, 0},
    {&MouseSettings::DoubleClickSpeed, 500},
    {&MouseSettings::WheelScrollLines, 3},
    {&MouseSettings::WheelPageScroll, 0},
    {&MouseSettings::MouseSensitivity, 11},
    // Preset 10 with acceleration off on purpose: the pointer step acts on
    // Acceleration, and the defaults must switch acceleration off.
    {&MouseSettings::SpeedPreset, 10},
    {&MouseSettings::Acceleration, 0},
    {&MouseSettings::Reserved, 0},
    {&MouseSettings::HScrollWheelSpeed, 3},
    {&MouseSettings::MainSens, 10},
    {&MouseSettings::XYSensFlag, 1},
    {&MouseSettings::XSens, 10},
    {&MouseSettings::YSens, 10},
    {&MouseSettings::OTFStatus, 1},
    {&MouseSettings::DpiValue0, 6},
    {&MouseSettings::DpiValue1, 12},
    {&MouseSettings::DpiValue2, 1},
    {&MouseSettings::PRValue, 3},
    {&MouseSettings::OTGSpeed, 10},
    {&MouseSettings::LightSwitch, 1},
    {&MouseSettings::LightEffectType, 0},
}};

}  // namespace

void ClearSettings(MouseSettings& record) {
  for (const auto& entry : kFieldDefaults) record.*entry.field = -1;
  record.ButtonInfo.fill(ButtonAssignment{});
}

void SetDefaultSettings(MouseSettings& record) {
  for (const auto& entry : kFieldDefaults) record.*entry.field = entry.value;
  for (int i = 0; i < kButtonCount; ++i) {
    record.ButtonInfo[static_cast<std::size_t>(i)] = DefaultAssignment(i);
  }
}

ButtonAssignment DefaultAssignment(int index) {
  if (index < 0 || index >= kButtonCount) return {};
  return {static_cast<std::uint8_t>(index + 1),
          kDefaultActionCodes[static_cast<std::size_t>(index)], 0, 0};
}

}  // namespace hidhost::settings
