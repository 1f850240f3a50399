#include "actions/InputBlocks.h"

#include <array>

#include "platform/Constants.h"

namespace hidhost::actions {

using platform::kKeyExtended;
using platform::kKeyUp;
using platform::kVkControl;
using platform::Platform;

namespace {

constexpr std::uint32_t kExtendedDown = kKeyExtended;
constexpr std::uint32_t kExtendedUp = kKeyExtended | kKeyUp;

struct ClickEvents {
  std::uint32_t down;
  std::uint32_t up;
  std::int32_t data;
};

// Indexed by MouseButton.
constexpr std::array<ClickEvents, 5> kClickEvents = {{
    {platform::kMouseLeftDown, platform::kMouseLeftUp, 0},
    {platform::kMouseRightDown, platform::kMouseRightUp, 0},
    {platform::kMouseMiddleDown, platform::kMouseMiddleUp, 0},
    {platform::kMouseXDown, platform::kMouseXUp, platform::kXButton1},
    {platform::kMouseXDown, platform::kMouseXUp, platform::kXButton2},
}};

void MouseEventWithExtraInfo(Platform& platform, std::uint32_t flags, std::int32_t data) {
  const std::uintptr_t extra = platform.input.GetMessageExtraInfo();
  platform.input.MouseEvent(flags, 0, 0, data, extra);
}

}  // namespace

void KeyDown(Platform& platform, std::uint8_t key) {
  platform.input.KeybdEvent(key, 0, kExtendedDown, 0);
}

void KeyUp(Platform& platform, std::uint8_t key) {
  platform.input.KeybdEvent(key, 0, kExtendedUp, 0);
}

void KeyTap(Platform& platform, std::uint8_t key) {
  KeyDown(platform, key);
  KeyUp(platform, key);
}

void CtrlChord(Platform& platform, std::uint8_t key) {
  KeyDown(platform, kVkControl);
  KeyDown(platform, key);
  KeyUp(platform, kVkControl);
  KeyUp(platform, key);
}

void HeldModifierChord(Platform& platform, std::uint8_t modifier, std::uint8_t key) {
  KeyDown(platform, modifier);
  KeyDown(platform, key);
  KeyUp(platform, key);
  KeyUp(platform, modifier);
}

void Click(Platform& platform, MouseButton button) {
  const ClickEvents& events = kClickEvents[static_cast<std::size_t>(button)];
  MouseEventWithExtraInfo(platform, events.down, events.data);
  MouseEventWithExtraInfo(platform, events.up, events.data);
}

MouseButton PrimaryButton(const settings::LiveSettings& settings) {
  return settings.Get(settings::Field::SwapMouseButtons) == 0 ? MouseButton::Left
                                                              : MouseButton::Right;
}

void PrimaryClick(Platform& platform, const settings::LiveSettings& settings) {
  Click(platform, PrimaryButton(settings));
}

void PrimaryDoubleClick(Platform& platform, const settings::LiveSettings& settings) {
  // One reading of the swap for both clicks, so the pair cannot straddle a change.
  const MouseButton primary = PrimaryButton(settings);
  Click(platform, primary);
  Click(platform, primary);
}

void WheelStep(Platform& platform, std::int32_t delta) {
  MouseEventWithExtraInfo(platform, platform::kMouseWheel, delta);
}

}  // namespace hidhost::actions
