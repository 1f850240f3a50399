// The key a user presses in the key field, as the keyboard usage id the host
// will send for it: the host's key table read backwards.
#pragma once

#include <cstdint>
#include <optional>

namespace hidhost::editor {

// What a key-down message says about its key.
struct PressedKey {
  std::uint32_t virtualKey;  // as the message gives it: generic Shift, Ctrl and Alt
  std::uint32_t scanCode;
  bool extended;  // bit 24 of the message's lParam
};

// The usage id whose key the host sends as this key; empty for a key the
// host cannot send, which the window refuses.
std::optional<std::uint8_t> UsageFromKey(const PressedKey& key);

// The key that stands for a usage id, as a key-down message would describe
// it (so a test can press it); empty when the table has no row for it.
std::optional<PressedKey> KeyOfUsage(std::uint8_t usage);

}  // namespace hidhost::editor
