#include "SettingsFields.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace hidhost::option {
namespace {

using settings::MouseSettings;

constexpr std::size_t Assignment(std::size_t index) {
  return offsetof(MouseSettings, ButtonInfo) + index * sizeof(settings::ButtonAssignment);
}

#define HIDHOST_NUMBER_FIELD(member) \
  { #member, offsetof(MouseSettings, member), false }

constexpr std::array<SettingsField, 29> kFields{{
    HIDHOST_NUMBER_FIELD(SwapMouseButtons),
    HIDHOST_NUMBER_FIELD(DoubleClickSpeed),
    HIDHOST_NUMBER_FIELD(WheelScrollLines),
    HIDHOST_NUMBER_FIELD(WheelPageScroll),
    HIDHOST_NUMBER_FIELD(MouseSensitivity),
    HIDHOST_NUMBER_FIELD(SpeedPreset),
    HIDHOST_NUMBER_FIELD(Acceleration),
    HIDHOST_NUMBER_FIELD(Reserved),
    HIDHOST_NUMBER_FIELD(HScrollWheelSpeed),
    HIDHOST_NUMBER_FIELD(MainSens),
    HIDHOST_NUMBER_FIELD(XYSensFlag),
    HIDHOST_NUMBER_FIELD(XSens),
    HIDHOST_NUMBER_FIELD(YSens),
    HIDHOST_NUMBER_FIELD(OTFStatus),
    HIDHOST_NUMBER_FIELD(DpiValue0),
    HIDHOST_NUMBER_FIELD(DpiValue1),
    HIDHOST_NUMBER_FIELD(DpiValue2),
    HIDHOST_NUMBER_FIELD(PRValue),
    HIDHOST_NUMBER_FIELD(OTGSpeed),
    HIDHOST_NUMBER_FIELD(LightSwitch),
    HIDHOST_NUMBER_FIELD(LightEffectType),
    HIDHOST_NUMBER_FIELD(MouseColor),
    {"ButtonInfo0", Assignment(0), true},
    {"ButtonInfo1", Assignment(1), true},
    {"ButtonInfo2", Assignment(2), true},
    {"ButtonInfo3", Assignment(3), true},
    {"ButtonInfo4", Assignment(4), true},
    {"ButtonInfo5", Assignment(5), true},
    {"ButtonInfo6", Assignment(6), true},
}};

#undef HIDHOST_NUMBER_FIELD

static_assert(kFields.size() * 4 == settings::kMouseSettingsSize);

unsigned char* At(MouseSettings& record, const SettingsField& field) {
  return reinterpret_cast<unsigned char*>(&record) + field.offset;
}
const unsigned char* At(const MouseSettings& record, const SettingsField& field) {
  return reinterpret_cast<const unsigned char*>(&record) + field.offset;
}

bool ParseNumber(std::string_view text, std::int32_t& value) {
  int base = 10;
  bool negative = false;
  if (text.starts_with("-")) {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  std::uint32_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return false;
  value = static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
  return true;
}

bool ParseBytes(std::string_view text, unsigned char (&bytes)[4]) {
  if (text.size() != 8) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    const char* first = text.data() + i * 2;
    const auto [end, error] = std::from_chars(first, first + 2, bytes[i], 16);
    if (error != std::errc() || end != first + 2) return false;
  }
  return true;
}

}  // namespace

std::span<const SettingsField> AllSettingsFields() {
  return kFields;
}

const SettingsField* FindSettingsField(std::string_view name) {
  for (const SettingsField& field : kFields) {
    if (field.name == name) return &field;
  }
  return nullptr;
}

std::string FormatField(const MouseSettings& record, const SettingsField& field) {
  const unsigned char* bytes = At(record, field);
  char text[16];
  if (field.isAssignment) {
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", bytes[0], bytes[1], bytes[2], bytes[3]);
  } else {
    std::int32_t value;
    std::memcpy(&value, bytes, sizeof value);
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
  }
  return text;
}

bool StoreField(MouseSettings& record, const SettingsField& field, std::string_view text) {
  if (field.isAssignment) {
    unsigned char bytes[4];
    if (!ParseBytes(text, bytes)) return false;
    std::memcpy(At(record, field), bytes, sizeof bytes);
    return true;
  }
  std::int32_t value;
  if (!ParseNumber(text, value)) return false;
  std::memcpy(At(record, field), &value, sizeof value);
  return true;
}

}  // namespace hidhost::option
