#include "actions/KeyCombination.h"

#include <array>

#include "actions/KeyUsageTable.h"
#include "platform/Constants.h"

namespace hidhost::actions {

namespace {

using platform::kKeyUp;

constexpr std::uint32_t kPauseMs = 1;

// Modifier byte of an assignment -> the key held around the main key; 0 for none.
constexpr std::array<std::uint8_t, 4> kModifierKeys = {0, platform::kVkControl, platform::kVkShift,
                                                       platform::kVkMenu};

// Applications expect the generic modifier for a synthesized key; the
// sided codes 0xA0..0xA5 come in left/right pairs.
constexpr std::array<std::uint8_t, 3> kGenericModifiers = {platform::kVkShift, platform::kVkControl,
                                                           platform::kVkMenu};
constexpr std::uint32_t kFirstSidedModifier = 0xA0;
constexpr std::uint32_t kLastSidedModifier = 0xA5;

std::uint8_t ModifierKey(std::uint8_t modifierByte) {
  return modifierByte < kModifierKeys.size() ? kModifierKeys[modifierByte] : 0;
}

std::uint32_t FoldSidedModifier(std::uint32_t virtualKey) {
  if (virtualKey < kFirstSidedModifier || virtualKey > kLastSidedModifier) return virtualKey;
  return kGenericModifiers[(virtualKey - kFirstSidedModifier) / 2];
}

std::uint8_t ScanCode(platform::Platform& platform, std::uint8_t virtualKey) {
  return static_cast<std::uint8_t>(platform.input.MapVirtualKey(virtualKey, platform::kMapVkToVsc));
}

struct KeyEvent {
  std::uint8_t virtualKey;
  std::uint8_t scan;
  std::uint32_t flags;
};

// Modifier down, key down, key up, modifier up; the key alone without one.
struct KeySequence {
  std::array<KeyEvent, 4> events{};
  std::size_t count = 0;
  void Add(KeyEvent event) { events[count++] = event; }
};

void Send(platform::Platform& platform, const KeyEvent& event) {
  platform.input.KeybdEvent(event.virtualKey, event.scan, event.flags, 0);
}

}  // namespace

const KeyUsageRow* KeyUsageRowFor(std::uint32_t usage) {
  for (const KeyUsageRow& row : kKeyUsageTable) {
    if (row.usage == usage) return &row;
  }
  return nullptr;
}

bool VirtualKeyFromUsage(std::uint32_t usage, std::uint32_t& virtualKey) {
  const KeyUsageRow* row = KeyUsageRowFor(usage);
  if (row == nullptr) return false;
  virtualKey = row->virtualKey;
  return true;
}

void SendKeyCombination(platform::Platform& platform, const settings::LiveSettings& settings,
                        TimerResolution& resolution, std::int32_t index) {
  if (index < 0 || index >= settings::kButtonCount) return;
  const settings::ButtonAssignment assignment = settings.Assignment(index);

  // A usage without a row sends nothing: a lone modifier would leave the user
  // with a Ctrl, Shift or Alt tap they never asked for.
  const KeyUsageRow* row = KeyUsageRowFor(assignment.keyUsage);
  if (row == nullptr) return;
  const auto key = static_cast<std::uint8_t>(FoldSidedModifier(row->virtualKey));
  const std::uint8_t keyScan = ScanCode(platform, key);

  const std::uint8_t modifier = ModifierKey(assignment.modifier);
  const std::uint8_t modifierScan = modifier != 0 ? ScanCode(platform, modifier) : 0;

  KeySequence sequence;
  if (modifier != 0) sequence.Add({modifier, modifierScan, 0});
  sequence.Add({key, keyScan, row->keyFlags});
  sequence.Add({key, keyScan, row->keyFlags | kKeyUp});
  if (modifier != 0) sequence.Add({modifier, modifierScan, kKeyUp});

  Send(platform, sequence.events[0]);
  // From just before the first pause to just after the last event.
  const PacingRequest pacing(resolution);
  for (std::size_t i = 1; i < sequence.count; ++i) {
    platform.timers.Sleep(kPauseMs);
    Send(platform, sequence.events[i]);
  }
}

}  // namespace hidhost::actions
