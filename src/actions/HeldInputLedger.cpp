#include "actions/HeldInputLedger.h"

namespace hidhost::actions {

namespace {

std::size_t Bit(MouseButton button) {
  return static_cast<std::size_t>(button);
}

}  // namespace

void HeldInputLedger::ButtonDown(MouseButton button) {
  std::lock_guard lock(mutex_);
  SendButtonEvent(platform_, button, true);
  down_.buttons.set(Bit(button));
  forcedUp_.buttons.reset(Bit(button));
}

void HeldInputLedger::ButtonUp(MouseButton button) {
  std::lock_guard lock(mutex_);
  if (forcedUp_.buttons.test(Bit(button))) {
    forcedUp_.buttons.reset(Bit(button));
    return;
  }
  SendButtonEvent(platform_, button, false);
  down_.buttons.reset(Bit(button));
}

void HeldInputLedger::HoldModifierTapKey(std::uint8_t modifier, std::uint8_t key) {
  std::lock_guard lock(mutex_);
  actions::KeyDown(platform_, modifier);
  down_.keys.set(modifier);
  forcedUp_.keys.reset(modifier);
  KeyTap(platform_, key);
}

void HeldInputLedger::KeyUp(std::uint8_t key) {
  std::lock_guard lock(mutex_);
  if (forcedUp_.keys.test(key)) {
    forcedUp_.keys.reset(key);
    return;
  }
  actions::KeyUp(platform_, key);
  down_.keys.reset(key);
}

int HeldInputLedger::ReleaseAll() {
  std::lock_guard lock(mutex_);
  int released = 0;
  for (std::size_t b = 0; b < kButtons; ++b) {
    if (!down_.buttons.test(b)) continue;
    SendButtonEvent(platform_, static_cast<MouseButton>(b), false);
    ++released;
  }
  for (std::size_t k = 0; k < down_.keys.size(); ++k) {
    if (!down_.keys.test(k)) continue;
    actions::KeyUp(platform_, static_cast<std::uint8_t>(k));
    ++released;
  }
  forcedUp_.buttons |= down_.buttons;
  forcedUp_.keys |= down_.keys;
  down_ = {};
  return released;
}

}  // namespace hidhost::actions
