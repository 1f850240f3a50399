#include "actions/HeldInputLedger.h"

namespace hidhost::actions {

namespace {

std::size_t Bit(MouseButton button) {
  return static_cast<std::size_t>(button);
}

}  // namespace

void HeldInputLedger::Holding(int source) {
  holders_.set(static_cast<std::size_t>(source));
  forcedUp_.reset(static_cast<std::size_t>(source));
}

bool HeldInputLedger::ForcedUp(int source) {
  const auto bit = static_cast<std::size_t>(source);
  holders_.reset(bit);
  if (!forcedUp_.test(bit)) return false;
  forcedUp_.reset(bit);
  return true;
}

void HeldInputLedger::ButtonDown(int source, MouseButton button) {
  std::lock_guard lock(mutex_);
  SendButtonEvent(platform_, button, true);
  down_.buttons.set(Bit(button));
  Holding(source);
}

void HeldInputLedger::ButtonUp(int source, MouseButton button) {
  std::lock_guard lock(mutex_);
  if (ForcedUp(source)) return;
  SendButtonEvent(platform_, button, false);
  down_.buttons.reset(Bit(button));
}

void HeldInputLedger::HoldModifierTapKey(int source, std::uint8_t modifier, std::uint8_t key) {
  std::lock_guard lock(mutex_);
  actions::KeyDown(platform_, modifier);
  down_.keys.set(modifier);
  Holding(source);
  KeyTap(platform_, key);
}

void HeldInputLedger::KeyUp(int source, std::uint8_t key) {
  std::lock_guard lock(mutex_);
  if (ForcedUp(source)) return;
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
  forcedUp_ |= holders_;
  holders_.reset();
  down_ = {};
  return released;
}

}  // namespace hidhost::actions
