// Performs the action assigned to a button: its press half, its release half,
// or the whole action at once (a single shot, used for wheel tilt), and the
// repeat timers' ticks.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "actions/HeldFunctionFlags.h"
#include "actions/HeldInputLedger.h"
#include "actions/RepeatTimers.h"
#include "actions/TimerResolution.h"
#include "platform/Constants.h"
#include "platform/Platform.h"
#include "settings/LiveSettings.h"

namespace hidhost::actions {

// Timer identifiers on the host window.
inline constexpr std::uintptr_t kRepeatClickTimer = 200;
inline constexpr std::uintptr_t kAutoFireTimer = 202;
inline constexpr std::uintptr_t kSwitchWindowTimer = 100;

// Posted by the event thread to the host window so that the shell object,
// which lives in the window thread's apartment, is called there. wParam is
// the action code (69 Search, 84 Run dialog).
inline constexpr std::uint32_t kShellRequestMessage = platform::kWmApp + 1;

class ActionDispatcher {
 public:
  ActionDispatcher(platform::Platform& platform, settings::LiveSettings& settings,
                   HeldFunctionFlags& flags);

  // The host window, known once it exists; set before the event thread starts.
  void AttachWindow(platform::Hwnd hostWindow) {
    hostWindow_.store(hostWindow, std::memory_order_release);
  }

  // Event thread. An index outside 0..6 does nothing. A release undoes what
  // the button's own press did: it runs the release half of the code whose
  // press half ran, even when the button was reassigned while down, and a
  // release with no press before it does nothing.
  void OnButtonPress(int index);
  void OnButtonRelease(int index);
  void RunSingleShot(int index);

  // Either thread, when nothing will ever release what is held (the mouse
  // went away, the console disconnected, the host exits): stops the repeat
  // timers 200 and 202, forgets every held function, then releases the
  // buttons and keys the host pressed and has not released. Gives how many
  // of those. A release half that comes later finds nothing left to undo.
  int ReleaseHeldInput();
  // The process has crashed: the buttons and keys the host pressed go up
  // through `direct`, with no lock taken (see HeldInputLedger).
  int ReleaseHeldInputAfterCrash(platform::Platform& direct) const noexcept {
    return ledger_.ReleaseAllAfterCrash(direct);
  }

  // Window thread: a WM_TIMER of the host window.
  void OnTimer(std::uintptr_t id);
  // Window thread: a kShellRequestMessage; shell may be None.
  void OnShellRequest(platform::WParam actionCode, platform::ComObject shell);

 private:
  enum class Form { Press, Release, SingleShot };
  void Perform(int index, std::uint8_t code, Form form);

  platform::Platform& platform_;
  settings::LiveSettings& settings_;
  HeldFunctionFlags& flags_;
  // Written by the window thread (AttachWindow), read by both threads.
  std::atomic<platform::Hwnd> hostWindow_{platform::Hwnd::None};
  HeldInputLedger ledger_;
  // Event thread only: per button, the code whose press half ran and whose
  // release half is still to run; 0 (a code that does nothing) when none.
  std::array<std::uint8_t, settings::kButtonCount> pressedCodes_{};
  TimerResolution resolution_;
  RepeatTimers timers_;
};

}  // namespace hidhost::actions
