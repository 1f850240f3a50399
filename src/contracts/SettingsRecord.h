// The settings record: 29 little-endian 32-bit fields, 116 bytes. The same
// bytes travel through the shared block to the configuration program, so
// nothing may be added, removed or reordered.
//
// The number fields are listed once, below; the structure, the table of
// names and offsets, and every list of fields elsewhere (the live record's
// field index, config.ini's keys, the recorder, the configuration program)
// are made from that one list.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

// X(name) for each number field, in the record's order: word i lies at byte 4*i.
#define HIDHOST_RECORD_NUMBER_FIELDS(X) \
  X(SwapMouseButtons)                   \
  X(DoubleClickSpeed)                   \
  X(WheelScrollLines)                   \
  X(WheelPageScroll)                    \
  X(MouseSensitivity)                   \
  X(SpeedPreset)                        \
  X(Acceleration)                       \
  X(Reserved)                           \
  X(HScrollWheelSpeed)                  \
  X(MainSens)                           \
  X(XYSensFlag)                         \
  X(XSens)                              \
  X(YSens)                              \
  X(OTFStatus)                          \
  X(DpiValue0)                          \
  X(DpiValue1)                          \
  X(DpiValue2)                          \
  X(PRValue)                            \
  X(OTGSpeed)                           \
  X(LightSwitch)                        \
  X(LightEffectType)                    \
  X(MouseColor)

namespace hidhost::contracts {

// The record's button assignments: entries 0..6 are buttons 1..7.
inline constexpr int kRecordButtonCount = 7;

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
#define HIDHOST_DECLARE_FIELD(name) std::int32_t name;
  HIDHOST_RECORD_NUMBER_FIELDS(HIDHOST_DECLARE_FIELD)
#undef HIDHOST_DECLARE_FIELD
  std::array<ButtonAssignment, kRecordButtonCount> ButtonInfo;

  friend bool operator==(const MouseSettings&, const MouseSettings&) = default;
};

struct NumberField {
  std::string_view name;
  std::int32_t MouseSettings::*member;
  std::size_t offset;
};

inline constexpr std::array kNumberFields = {
#define HIDHOST_LIST_FIELD(name) \
  NumberField{#name, &MouseSettings::name, offsetof(MouseSettings, name)},
    HIDHOST_RECORD_NUMBER_FIELDS(HIDHOST_LIST_FIELD)
#undef HIDHOST_LIST_FIELD
};

// The assignments' names, as config.ini and the configuration program spell them.
inline constexpr std::array<std::string_view, kRecordButtonCount> kButtonInfoNames = {
    "ButtonInfo0", "ButtonInfo1", "ButtonInfo2", "ButtonInfo3",
    "ButtonInfo4", "ButtonInfo5", "ButtonInfo6"};

inline constexpr std::size_t kMouseSettingsSize = 116;
inline constexpr std::size_t kMouseSettingsWords = kMouseSettingsSize / 4;
inline constexpr std::size_t kFirstButtonWord = kNumberFields.size();

constexpr std::size_t ButtonInfoOffset(std::size_t index) {
  return offsetof(MouseSettings, ButtonInfo) + index * sizeof(ButtonAssignment);
}

constexpr bool NumberFieldsAreConsecutiveWords() {
  for (std::size_t i = 0; i < kNumberFields.size(); ++i) {
    if (kNumberFields[i].offset != 4 * i) return false;
  }
  return true;
}

static_assert(std::endian::native == std::endian::little, "the record is shared little-endian");
static_assert(std::is_trivial_v<ButtonAssignment> && std::is_trivial_v<MouseSettings>);
static_assert(sizeof(ButtonAssignment) == 4);
static_assert(sizeof(MouseSettings) == kMouseSettingsSize);
static_assert(NumberFieldsAreConsecutiveWords(), "word i of the record lies at byte 4*i");
static_assert(kFirstButtonWord == 22 && offsetof(MouseSettings, ButtonInfo) == 88);
static_assert(offsetof(MouseSettings, HScrollWheelSpeed) == 32 &&
              offsetof(MouseSettings, OTGSpeed) == 72 && offsetof(MouseSettings, MouseColor) == 84);
static_assert(kNumberFields.size() + kButtonInfoNames.size() == kMouseSettingsWords);

}  // namespace hidhost::contracts
