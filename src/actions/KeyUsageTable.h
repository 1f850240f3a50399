// Keyboard usage ids (USB HID Keyboard/Keypad page) and the Windows
// virtual-key codes the configuration program's key choices stand for.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace hidhost::actions {

struct KeyUsageRow {
  std::uint32_t virtualKey;
  std::uint32_t usage;
  // Key-event flags that the key's down and up both carry: the extended-key
  // flag where one virtual key stands for two keys (keypad Enter is Enter,
  // extended). 0 for every other key.
  std::uint32_t keyFlags = 0;
};

inline constexpr std::size_t kKeyUsageRowCount = 109;

// In stored order: the first row whose usage matches wins, and the order is
// part of what the configuration program was built against (95 before 94).
extern const std::array<KeyUsageRow, kKeyUsageRowCount> kKeyUsageTable;

}  // namespace hidhost::actions
