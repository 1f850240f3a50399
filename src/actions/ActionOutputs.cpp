#include "actions/ActionOutputs.h"

#include <array>

#include "actions/HorizontalScroll.h"
#include "actions/KeyCombination.h"
#include "actions/ShellActions.h"
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

void SendButtonEvent(platform::Platform& platform, MouseButton button, bool down) {
  const ButtonEventForm& form = kButtonEvents[static_cast<std::size_t>(button)];
  platform::Point at;
  if (form.atCursor && !platform.input.GetCursorPos(at)) at = {};
  const std::uintptr_t extra = form.withMessageExtraInfo ? platform.input.GetMessageExtraInfo() : 0;
  platform.input.MouseEvent(down ? form.down : form.up, at.x, at.y, form.data, extra);
}

}  // namespace

void SendOutput(const ActionHalf& half, const ActionContext& context) {
  platform::Platform& platform = context.platform;
  switch (half.output) {
    case Output::Nothing:
      return;
    case Output::ButtonDown:
      return SendButtonEvent(platform, half.Button(), true);
    case Output::ButtonUp:
      return SendButtonEvent(platform, half.Button(), false);
    case Output::Click:
      return Click(platform, half.Button());
    case Output::PrimaryClick:
      return PrimaryClick(platform, context.settings);
    case Output::PrimaryDoubleClick:
      return PrimaryDoubleClick(platform, context.settings);
    case Output::WheelStep:
      return WheelStep(platform, half.amount);
    case Output::KeyTap:
      return KeyTap(platform, half.key);
    case Output::CtrlChord:
      return CtrlChord(platform, half.key);
    case Output::HeldModifierChord:
      return HeldModifierChord(platform, half.modifier, half.key);
    case Output::HoldModifierTapKey:
      KeyDown(platform, half.modifier);
      return KeyTap(platform, half.key);
    case Output::KeyUp:
      return KeyUp(platform, half.key);
    case Output::KeyCombination:
      return SendKeyCombination(platform, context.settings, context.index);
    case Output::ScrollHorizontally:
      return ScrollHorizontally(platform, context.settings, half.amount);
    case Output::OpenMyComputer:
      return OpenMyComputer(platform);
    case Output::ShellRequest:
      return RequestShellAction(platform, context.hostWindow, context.code);
  }
}

}  // namespace hidhost::actions
