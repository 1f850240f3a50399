#include "actions/InputBlocks.h"

#include <array>

#include "platform/Constants.h"

namespace hidhost::actions {

namespace {

// The exact event each button code sends for its own press or release. The
// three classic buttons go out as the system has always seen them from this
// host (left and middle at the cursor, no extra information); the X buttons
// carry the message extra information so that their origin stays visible.
struct ButtonEventForm {
  std::uint32_t down;
  std::uint32_t up;
  std::int32_t data;
  bool atCursor;
  bool withMessageExtraInfo;
};

// Indexed by MouseButton.
constexpr std::array<ButtonEventForm, 5> kButtonEvents = {{
    {platform::kMouseLeftDown, platform::kMouseLeftUp, 0, true, false},
    {platform::kMouseRightDown, platform::kMouseRightUp, 0, false, false},
    {platform::kMouseMiddleDown, platform::kMouseMiddleUp, 0, true, false},
    {platform::kMouseXDown, platform::kMouseXUp, platform::kXButton1, false, true},
    {platform::kMouseXDown, platform::kMouseXUp, platform::kXButton2, false, true},
}};

}  // namespace

void SendButtonEvent(platform::Platform& platform, MouseButton button, bool down) {
  const ButtonEventForm& form = kButtonEvents[static_cast<std::size_t>(button)];
  platform::Point at;
  if (form.atCursor && !platform.input.GetCursorPos(at)) at = {};
  const std::uintptr_t extra = form.withMessageExtraInfo ? platform.input.GetMessageExtraInfo() : 0;
  platform.input.MouseEvent(down ? form.down : form.up, at.x, at.y, form.data, extra);
}

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
