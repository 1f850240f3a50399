#include "actions/ActionOutputs.h"

#include <array>

#include "actions/HorizontalScroll.h"
#include "actions/KeyCombination.h"
#include "actions/ShellActions.h"
#include "platform/Constants.h"

namespace hidhost::actions {

void SendOutput(const ActionHalf& half, const ActionContext& context) {
  platform::Platform& platform = context.platform;
  switch (half.output) {
    case Output::Nothing:
      return;
    case Output::ButtonDown:
      return context.ledger.ButtonDown(context.index, half.Button());
    case Output::ButtonUp:
      return context.ledger.ButtonUp(context.index, half.Button());
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
      return context.ledger.HoldModifierTapKey(context.index, half.modifier, half.key);
    case Output::KeyUp:
      return context.ledger.KeyUp(context.index, half.key);
    case Output::KeyCombination:
      return SendKeyCombination(platform, context.settings, context.resolution, context.index);
    case Output::ScrollHorizontally:
      return ScrollHorizontally(platform, context.settings, half.amount);
    case Output::OpenMyComputer:
      return OpenMyComputer(platform);
    case Output::ShellRequest:
      return RequestShellAction(platform, context.hostWindow, context.code);
  }
}

}  // namespace hidhost::actions
