#include "actions/HeldInputLedger.h"

namespace hidhost::actions {

namespace {

std::size_t Bit(MouseButton button) {
  return static_cast<std::size_t>(button);
}

std::uint32_t ButtonMask(MouseButton button) {
  return std::uint32_t{1} << Bit(button);
}

std::uint64_t KeyMask(std::uint8_t key) {
  return std::uint64_t{1} << (key % 64);
}

}  // namespace

void HeldInputLedger::MarkDown(MouseButton button) {
  buttonsDownMirror_.fetch_or(ButtonMask(button), std::memory_order_seq_cst);
}
void HeldInputLedger::MarkUp(MouseButton button) {
  buttonsDownMirror_.fetch_and(~ButtonMask(button), std::memory_order_seq_cst);
}
void HeldInputLedger::MarkDown(std::uint8_t key) {
  keysDownMirror_[key / 64].fetch_or(KeyMask(key), std::memory_order_seq_cst);
}
void HeldInputLedger::MarkUp(std::uint8_t key) {
  keysDownMirror_[key / 64].fetch_and(~KeyMask(key), std::memory_order_seq_cst);
}

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
  MarkDown(button);
  SendButtonEvent(platform_, button, true);
  down_.buttons.set(Bit(button));
  Holding(source);
}

void HeldInputLedger::ButtonUp(int source, MouseButton button) {
  std::lock_guard lock(mutex_);
  if (ForcedUp(source)) return;
  SendButtonEvent(platform_, button, false);
  down_.buttons.reset(Bit(button));
  MarkUp(button);
}

void HeldInputLedger::HoldModifierTapKey(int source, std::uint8_t modifier, std::uint8_t key) {
  std::lock_guard lock(mutex_);
  MarkDown(modifier);
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
  MarkUp(key);
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
  buttonsDownMirror_.store(0, std::memory_order_seq_cst);
  for (auto& keys : keysDownMirror_) keys.store(0, std::memory_order_seq_cst);
  return released;
}

int HeldInputLedger::ReleaseAllAfterCrash(platform::Platform& direct) const noexcept {
  int released = 0;
  const std::uint32_t buttons = buttonsDownMirror_.load(std::memory_order_seq_cst);
  for (std::size_t b = 0; b < kButtons; ++b) {
    if ((buttons & ButtonMask(static_cast<MouseButton>(b))) == 0) continue;
    SendButtonEvent(direct, static_cast<MouseButton>(b), false);
    ++released;
  }
  for (std::size_t k = 0; k < 256; ++k) {
    const auto key = static_cast<std::uint8_t>(k);
    if ((keysDownMirror_[k / 64].load(std::memory_order_seq_cst) & KeyMask(key)) == 0) continue;
    actions::KeyUp(direct, key);
    ++released;
  }
  return released;
}

}  // namespace hidhost::actions
