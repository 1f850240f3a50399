#include "editor/EditableFields.h"

#include <algorithm>
#include <array>

#include "editor/ActionNames.h"
#include "editor/KeyCapture.h"
#include "editor/TextCompare.h"

namespace hidhost::editor {

namespace {

using settings::MouseSettings;
constexpr Effect kSystem = Effect::PushToSystem;
constexpr Effect kRead = Effect::HostReads;

// Acceleration is not here: it follows SpeedPreset (on for every preset but
// 0), and Reserved means nothing to anyone.
// clang-format off
constexpr std::array kFields = std::to_array<EditableField>({
  {"SwapMouseButtons",  &MouseSettings::SwapMouseButtons,  0,   1,        kSystem, false},
  {"DoubleClickSpeed",  &MouseSettings::DoubleClickSpeed,  200, 900,      kSystem, false},
  {"WheelScrollLines",  &MouseSettings::WheelScrollLines,  1,   100,      kSystem, false},
  {"WheelPageScroll",   &MouseSettings::WheelPageScroll,   0,   1,        kSystem, false},
  {"MouseSensitivity",  &MouseSettings::MouseSensitivity,  1,   20,       kSystem, false},
  {"SpeedPreset",       &MouseSettings::SpeedPreset,       0,   19,       kSystem, false},
  {"HScrollWheelSpeed", &MouseSettings::HScrollWheelSpeed, 1,   20,       kRead,   true},
  {"MainSens",          &MouseSettings::MainSens,          1,   20,       kRead,   true},
  {"XYSensFlag",        &MouseSettings::XYSensFlag,        0,   1,        kRead,   true},
  {"XSens",             &MouseSettings::XSens,             1,   20,       kRead,   true},
  {"YSens",             &MouseSettings::YSens,             1,   20,       kRead,   true},
  {"OTFStatus",         &MouseSettings::OTFStatus,         0,   1,        kRead,   true},
  {"DpiValue0",         &MouseSettings::DpiValue0,         1,   64,       kRead,   true},
  {"DpiValue1",         &MouseSettings::DpiValue1,         1,   64,       kRead,   true},
  {"DpiValue2",         &MouseSettings::DpiValue2,         1,   64,       kRead,   true},
  {"PRValue",           &MouseSettings::PRValue,           0,   3,        kRead,   true},
  // Tens of milliseconds between auto-fire clicks: 100 to 1 per second.
  {"OTGSpeed",          &MouseSettings::OTGSpeed,          1,   100,      kRead,   true},
  {"LightSwitch",       &MouseSettings::LightSwitch,       0,   1,        kRead,   true},
  {"LightEffectType",   &MouseSettings::LightEffectType,   0,   7,        kRead,   true},
  {"MouseColor",        &MouseSettings::MouseColor,        0,   0xFFFFFF, kRead,   true},
});
// clang-format on

}  // namespace

std::span<const EditableField> EditableFields() {
  return kFields;
}

const EditableField* FindEditableField(std::string_view key) {
  for (const EditableField& field : kFields) {
    if (EqualsIgnoringCase(field.key, key)) return &field;
  }
  return nullptr;
}

bool InRange(const EditableField& field, std::int32_t value) {
  return value >= field.minimum && value <= field.maximum;
}

ShownValue Show(const settings::MouseSettings& record, const EditableField& field) {
  const std::int32_t value = record.*field.member;
  // Page scrolling stores 0 lines: that is the system's way, not a fault.
  if (field.member == &MouseSettings::WheelScrollLines && record.WheelPageScroll == 1 &&
      value == 0) {
    return {field.minimum, false};
  }
  return {std::clamp(value, field.minimum, field.maximum), !InRange(field, value)};
}

ShownAssignment Show(const settings::MouseSettings& record, int index) {
  settings::ButtonAssignment shown = record.ButtonInfo.at(static_cast<std::size_t>(index));
  const settings::ButtonAssignment stored = shown;
  shown.buttonNumber = static_cast<std::uint8_t>(index + 1);
  if (!FindActionChoice(shown.actionCode)) shown.actionCode = kNoAction;
  if (shown.modifier > kLastModifier) shown.modifier = 0;
  if (shown.keyUsage != 0 && !KeyOfUsage(shown.keyUsage)) shown.keyUsage = 0;
  return {shown, !(shown == stored)};
}

}  // namespace hidhost::editor
