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
};

inline constexpr std::size_t kKeyUsageRowCount = 109;

// In stored order: the first row whose usage matches wins, and the order is
// part of what the configuration program was built against (95 before 94).
extern const std::array<KeyUsageRow, kKeyUsageRowCount> kKeyUsageTable;

}  // namespace hidhost::actions
