// What the host itself holds down: a mouse button whose down a press half
// synthesized, or the switcher's Alt, not yet matched by an up.
//
// When the mouse goes away, the console disconnects or the host exits while
// such input is down, nothing would ever release it: the application under
// the cursor would see a button or Alt stuck down. The ledger lets the host
// release exactly what it pressed, once. The up that a button's release half
// sends later for input already released this way is swallowed, so an
// application never sees a second up. What is swallowed is kept per button
// (the source), not per input: two buttons may send the same input, and the
// one pressed again after the release must not lose its up to the other.
//
// The event thread presses and releases; the window thread may force the
// release at the same time. Each send happens under the ledger's lock
// together with its bookkeeping, so a down is never missed by a release.
#pragma once

#include <bitset>
#include <cstdint>
#include <mutex>

#include "actions/InputBlocks.h"
#include "platform/Platform.h"
#include "settings/MouseSettings.h"

namespace hidhost::actions {

class HeldInputLedger {
 public:
  explicit HeldInputLedger(platform::Platform& platform) : platform_(platform) {}

  // source: the index (0..6, checked by the dispatcher) of the button whose
  // action sends the input.
  void ButtonDown(int source, MouseButton button);
  void ButtonUp(int source, MouseButton button);
  // The modifier goes down and stays; the key is tapped.
  void HoldModifierTapKey(int source, std::uint8_t modifier, std::uint8_t key);
  void KeyUp(int source, std::uint8_t key);

  // Sends the up of everything still held; returns how many.
  int ReleaseAll();

 private:
  static constexpr std::size_t kButtons = kMouseButtonCount;
  static constexpr std::size_t kSources = settings::kButtonCount;
  struct Held {
    std::bitset<kButtons> buttons;
    std::bitset<256> keys;
  };
  // A press that holds input down; a later up of this source is its release.
  void Holding(int source);
  // True when the source's up was already sent by ReleaseAll (and is now spent).
  bool ForcedUp(int source);

  platform::Platform& platform_;
  std::mutex mutex_;
  Held down_;                       // pressed by the host, not yet released
  std::bitset<kSources> holders_;   // sources whose press holds input down
  std::bitset<kSources> forcedUp_;  // released by ReleaseAll; their next up is swallowed
};

}  // namespace hidhost::actions
