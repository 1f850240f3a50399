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
//
// A crash may strike while a thread holds that lock, and a std::mutex taken
// again by the thread that holds it never returns. So the ledger also keeps
// what is down in atomics, for the crash path alone: a down is marked there
// before it is sent and an up cleared only after it was sent, so a crash at
// any point finds at least what the system has seen go down (at worst one
// up too many, which no application minds).
#pragma once

#include <array>
#include <atomic>
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
  // The same for a process that has crashed: takes no lock and changes no
  // bookkeeping, and sends through `direct`, a platform without locks of its own.
  int ReleaseAllAfterCrash(platform::Platform& direct) const noexcept;

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

  // The lock-free copy of down_ for the crash path.
  void MarkDown(MouseButton button);
  void MarkUp(MouseButton button);
  void MarkDown(std::uint8_t key);
  void MarkUp(std::uint8_t key);

  platform::Platform& platform_;
  std::mutex mutex_;
  Held down_;                       // pressed by the host, not yet released
  std::bitset<kSources> holders_;   // sources whose press holds input down
  std::bitset<kSources> forcedUp_;  // released by ReleaseAll; their next up is swallowed
  // Written under mutex_, read without it by the crash path.
  std::atomic<std::uint32_t> buttonsDownMirror_{0};
  std::array<std::atomic<std::uint64_t>, 4> keysDownMirror_{};
};

}  // namespace hidhost::actions
