// What the host itself holds down: a mouse button whose down a press half
// synthesized, or the switcher's Alt, not yet matched by an up.
//
// When the mouse goes away, the console disconnects or the host exits while
// such input is down, nothing would ever release it: the application under
// the cursor would see a button or Alt stuck down. The ledger lets the host
// release exactly what it pressed, once. An up that the release half sends
// later for input already released this way is swallowed, so an application
// never sees a second up.
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

namespace hidhost::actions {

class HeldInputLedger {
 public:
  explicit HeldInputLedger(platform::Platform& platform) : platform_(platform) {}

  void ButtonDown(MouseButton button);
  void ButtonUp(MouseButton button);
  // The modifier goes down and stays; the key is tapped.
  void HoldModifierTapKey(std::uint8_t modifier, std::uint8_t key);
  void KeyUp(std::uint8_t key);

  // Sends the up of everything still held; returns how many.
  int ReleaseAll();

 private:
  static constexpr std::size_t kButtons = kMouseButtonCount;
  struct Held {
    std::bitset<kButtons> buttons;
    std::bitset<256> keys;
  };

  platform::Platform& platform_;
  std::mutex mutex_;
  Held down_;      // pressed by the host, not yet released
  Held forcedUp_;  // released by ReleaseAll; the next up of each is swallowed
};

}  // namespace hidhost::actions
