#include "actions/ActionDispatcher.h"

#include <utility>

#include "actions/ActionCatalogue.h"
#include "actions/ActionOutputs.h"
#include "actions/RepeatTimers.h"
#include "actions/ShellActions.h"

namespace hidhost::actions {

namespace {

void ApplyFlagEdge(const ActionHalf& half, HeldFunctionFlags& flags) {
  if (half.flagEdge == FlagEdge::None) return;
  flags.Set(half.flag, half.flagEdge == FlagEdge::Set);
}

void ApplyTimerEdge(const ActionHalf& half, const ActionContext& context) {
  if (half.timerEdge == TimerEdge::Start) {
    context.timers.Start(context.hostWindow, half.timer);
  } else if (half.timerEdge == TimerEdge::Stop) {
    context.timers.Stop(context.hostWindow, half.timer);
  }
}

bool IsButton(int index) {
  return index >= 0 && index < settings::kButtonCount;
}

}  // namespace

ActionDispatcher::ActionDispatcher(platform::Platform& platform, settings::LiveSettings& settings,
                                   HeldFunctionFlags& flags)
    : platform_(platform),
      settings_(settings),
      flags_(flags),
      ledger_(platform),
      resolution_(platform.timers),
      timers_(platform, settings, resolution_) {}

int ActionDispatcher::ReleaseHeldInput() {
  // In this order: a timer tick in between would replay a flag, and a flag
  // would have the next tick replay what was just released.
  timers_.StopPacedTimers(hostWindow_.load(std::memory_order_acquire));
  flags_.ClearAll();
  return ledger_.ReleaseAll();
}

void ActionDispatcher::OnButtonPress(int index) {
  if (!IsButton(index)) return;
  // One read per action: the window thread may replace the settings meanwhile.
  const std::uint8_t code = settings_.ActionCode(index);
  pressedCodes_[static_cast<std::size_t>(index)] = code;
  Perform(index, code, Form::Press);
}

void ActionDispatcher::OnButtonRelease(int index) {
  if (!IsButton(index)) return;
  // An update that reassigned the button while it was down must not leave the
  // old press's button, key, flag or timer held: undo that press, and let the
  // next press take the new code.
  const std::uint8_t code = std::exchange(pressedCodes_[static_cast<std::size_t>(index)], 0);
  Perform(index, code, Form::Release);
}

void ActionDispatcher::RunSingleShot(int index) {
  if (!IsButton(index)) return;
  Perform(index, settings_.ActionCode(index), Form::SingleShot);
}

void ActionDispatcher::Perform(int index, std::uint8_t code, Form form) {
  const ActionRow* row = FindAction(code);
  if (row == nullptr) return;

  const ActionHalf& half = form == Form::Press     ? row->press
                           : form == Form::Release ? row->release
                                                   : row->singleShot;
  const ActionContext context{platform_,   settings_, hostWindow_.load(std::memory_order_acquire),
                              index,       code,      ledger_,
                              resolution_, timers_};
  // The driver already passes a native button's own input through; the
  // single shot has no such input behind it, so it always sends.
  const bool nativeInput = form != Form::SingleShot && row->nativeIndex == index;
  if (!nativeInput) SendOutput(half, context);
  ApplyFlagEdge(half, flags_);
  ApplyTimerEdge(half, context);
}

void ActionDispatcher::OnTimer(std::uintptr_t id) {
  timers_.RunTick(flags_, id);
}

void ActionDispatcher::OnShellRequest(platform::WParam actionCode, platform::ComObject shell) {
  RunShellAction(platform_, actionCode, shell);
}

}  // namespace hidhost::actions
