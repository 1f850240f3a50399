#include "editor/KeyCapture.h"

#include <array>

#include "actions/KeyUsageTable.h"
#include "platform/Constants.h"

namespace hidhost::editor {

namespace {

using actions::KeyUsageRow;

constexpr std::uint32_t kVkShift = 0x10;
constexpr std::uint32_t kVkControl = 0x11;
constexpr std::uint32_t kVkMenu = 0x12;
constexpr std::uint32_t kVkLShift = 0xA0;
constexpr std::uint32_t kVkRShift = 0xA1;
constexpr std::uint32_t kVkLControl = 0xA2;
constexpr std::uint32_t kVkRControl = 0xA3;
constexpr std::uint32_t kVkLMenu = 0xA4;
constexpr std::uint32_t kVkRMenu = 0xA5;
constexpr std::uint32_t kRightShiftScan = 0x36;
constexpr std::uint32_t kLeftShiftScan = 0x2A;
constexpr std::uint32_t kLeftControlScan = 0x1D;
constexpr std::uint32_t kLeftAltScan = 0x38;

// A row sends its key with the extended-key flag when the table says so; a
// table without that column sends every key without it.
template <typename Row>
bool RowIsExtended(const Row& row) {
  if constexpr (requires { row.keyFlags; }) {
    return (row.keyFlags & platform::kKeyExtended) != 0;
  } else if constexpr (requires { row.extended; }) {
    return static_cast<bool>(row.extended);
  } else {
    return false;
  }
}

// The table keeps left and right modifiers apart; a key message names the
// generic one and tells the side by the scan code (Shift) or the
// extended-key flag (Ctrl, Alt).
std::uint32_t SidedKey(const PressedKey& key) {
  switch (key.virtualKey) {
    case kVkShift:
      return key.scanCode == kRightShiftScan ? kVkRShift : kVkLShift;
    case kVkControl:
      return key.extended ? kVkRControl : kVkLControl;
    case kVkMenu:
      return key.extended ? kVkRMenu : kVkLMenu;
    default:
      return key.virtualKey;
  }
}

struct SideOfModifier {
  std::uint32_t sided;
  PressedKey message;
};
constexpr std::array<SideOfModifier, 6> kModifierMessages = {{
    {kVkLShift, {kVkShift, kLeftShiftScan, false}},
    {kVkRShift, {kVkShift, kRightShiftScan, false}},
    {kVkLControl, {kVkControl, kLeftControlScan, false}},
    {kVkRControl, {kVkControl, kLeftControlScan, true}},
    {kVkLMenu, {kVkMenu, kLeftAltScan, false}},
    {kVkRMenu, {kVkMenu, kLeftAltScan, true}},
}};

}  // namespace

std::optional<std::uint8_t> UsageFromKey(const PressedKey& key) {
  const std::uint32_t virtualKey = SidedKey(key);
  // The flag tells Enter from the keypad's Enter. A key the keyboard marks
  // as extended (arrows, Insert, ...) that the table sends without the flag
  // is still that key.
  const KeyUsageRow* sameKey = nullptr;
  for (const KeyUsageRow& row : actions::kKeyUsageTable) {
    if (row.virtualKey != virtualKey) continue;
    if (RowIsExtended(row) == key.extended) return static_cast<std::uint8_t>(row.usage);
    if (sameKey == nullptr) sameKey = &row;
  }
  if (sameKey == nullptr) return std::nullopt;
  // Only when no row claims the flag the key came with.
  return static_cast<std::uint8_t>(sameKey->usage);
}

std::optional<PressedKey> KeyOfUsage(std::uint8_t usage) {
  for (const KeyUsageRow& row : actions::kKeyUsageTable) {
    if (row.usage != usage) continue;
    for (const SideOfModifier& side : kModifierMessages) {
      if (side.sided == row.virtualKey) return side.message;
    }
    return PressedKey{row.virtualKey, 0, RowIsExtended(row)};
  }
  return std::nullopt;
}

}  // namespace hidhost::editor
