// The settings record: 29 little-endian 32-bit fields, 116 bytes. The same
// bytes travel through the shared block to the configuration program, so
// nothing may be added, removed or reordered.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "settings/ButtonLayout.h"

namespace hidhost::settings {

// Both records are trivial types, so that they can be copied byte for byte
// to and from the shared block; value-initialise them ({}) for zeros.
struct ButtonAssignment {
  std::uint8_t buttonNumber;  // 1..7; never read by the host
  std::uint8_t actionCode;
  std::uint8_t modifier;
  std::uint8_t keyUsage;
  friend constexpr bool operator==(const ButtonAssignment&, const ButtonAssignment&) = default;
};

struct MouseSettings {
  std::int32_t SwapMouseButtons;
  std::int32_t DoubleClickSpeed;
  std::int32_t WheelScrollLines;
  std::int32_t WheelPageScroll;
  std::int32_t MouseSensitivity;
  std::int32_t SpeedPreset;
  std::int32_t Acceleration;
  std::int32_t Reserved;
  std::int32_t HScrollWheelSpeed;
  std::int32_t MainSens;
  std::int32_t XYSensFlag;
  std::int32_t XSens;
  std::int32_t YSens;
  std::int32_t OTFStatus;
  std::int32_t DpiValue0;
  std::int32_t DpiValue1;
  std::int32_t DpiValue2;
  std::int32_t PRValue;
  std::int32_t OTGSpeed;
  std::int32_t LightSwitch;
  std::int32_t LightEffectType;
  std::int32_t MouseColor;
  std::array<ButtonAssignment, kButtonCount> ButtonInfo;

  friend bool operator==(const MouseSettings&, const MouseSettings&) = default;
};

inline constexpr std::size_t kMouseSettingsSize = 116;
inline constexpr std::size_t kMouseSettingsWords = kMouseSettingsSize / 4;
inline constexpr std::size_t kFirstButtonWord = 22;

static_assert(std::endian::native == std::endian::little, "the record is shared little-endian");
static_assert(std::is_trivial_v<ButtonAssignment> && std::is_trivial_v<MouseSettings>);
static_assert(sizeof(ButtonAssignment) == 4);
static_assert(sizeof(MouseSettings) == kMouseSettingsSize);
static_assert(offsetof(MouseSettings, SwapMouseButtons) == 0);
static_assert(offsetof(MouseSettings, DoubleClickSpeed) == 4);
static_assert(offsetof(MouseSettings, WheelScrollLines) == 8);
static_assert(offsetof(MouseSettings, WheelPageScroll) == 12);
static_assert(offsetof(MouseSettings, MouseSensitivity) == 16);
static_assert(offsetof(MouseSettings, SpeedPreset) == 20);
static_assert(offsetof(MouseSettings, Acceleration) == 24);
static_assert(offsetof(MouseSettings, Reserved) == 28);
static_assert(offsetof(MouseSettings, HScrollWheelSpeed) == 32);
static_assert(offsetof(MouseSettings, MainSens) == 36);
static_assert(offsetof(MouseSettings, XYSensFlag) == 40);
static_assert(offsetof(MouseSettings, XSens) == 44);
static_assert(offsetof(MouseSettings, YSens) == 48);
static_assert(offsetof(MouseSettings, OTFStatus) == 52);
static_assert(offsetof(MouseSettings, DpiValue0) == 56);
static_assert(offsetof(MouseSettings, DpiValue1) == 60);
static_assert(offsetof(MouseSettings, DpiValue2) == 64);
static_assert(offsetof(MouseSettings, PRValue) == 68);
static_assert(offsetof(MouseSettings, OTGSpeed) == 72);
static_assert(offsetof(MouseSettings, LightSwitch) == 76);
static_assert(offsetof(MouseSettings, LightEffectType) == 80);
static_assert(offsetof(MouseSettings, MouseColor) == 84);
static_assert(offsetof(MouseSettings, ButtonInfo) == 88);

// The initial fill: the first 21 fields -1, MouseColor untouched, assignments all zero.
void ClearSettings(MouseSettings& record);
// The defaults: the first 21 fields their defaults, MouseColor untouched,
// assignment i = DefaultAssignment(i).
void SetDefaultSettings(MouseSettings& record);
// {index+1, the button's built-in action code, 0, 0}; all zero outside 0..6.
ButtonAssignment DefaultAssignment(int index);

}  // namespace hidhost::settings
