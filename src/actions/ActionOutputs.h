// Sends the input of one half of an action (or makes its call out).
#pragma once

#include <cstdint>

#include "actions/ActionCatalogue.h"
#include "actions/HeldInputLedger.h"
#include "actions/RepeatTimers.h"
#include "actions/TimerResolution.h"
#include "platform/Platform.h"
#include "settings/LiveSettings.h"

namespace hidhost::actions {

struct ActionContext {
  platform::Platform& platform;
  const settings::LiveSettings& settings;
  platform::Hwnd hostWindow;
  int index;          // the button index the action runs for
  std::uint8_t code;  // the action code, as read once for this action
  HeldInputLedger& ledger;
  TimerResolution& resolution;
  RepeatTimers& timers;
};

void SendOutput(const ActionHalf& half, const ActionContext& context);

}  // namespace hidhost::actions
