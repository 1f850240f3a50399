// What every action code does in each of its three forms, as data: a row per
// code with its press half, release half and single shot. Codes without a row
// do nothing in any form.
#pragma once

#include <cstdint>
#include <span>

#include "actions/HeldFunctionFlags.h"
#include "actions/InputBlocks.h"

namespace hidhost::actions {

// The input (or the call out) of one half.
enum class Output : std::uint8_t {
  Nothing,
  ButtonDown,  // the button's own down event (skipped on its native button)
  ButtonUp,    // the button's own up event (skipped on its native button)
  Click,
  PrimaryClick,
  PrimaryDoubleClick,
  WheelStep,
  KeyTap,
  CtrlChord,
  HeldModifierChord,
  HoldModifierTapKey,  // modifier down, key down, key up: a switcher stays open while held
  KeyUp,
  KeyCombination,
  ScrollHorizontally,
  OpenMyComputer,
  ShellRequest,  // handed to the window thread, where the shell object lives
};

enum class FlagEdge : std::uint8_t { None, Set, Clear };
enum class TimerEdge : std::uint8_t { None, Start, Stop };

struct ActionHalf {
  Output output = Output::Nothing;
  std::uint8_t key = 0;  // the key of key outputs; the MouseButton of button outputs
  std::uint8_t modifier = 0;
  std::int32_t amount = 0;  // wheel delta; scroll step
  FlagEdge flagEdge = FlagEdge::None;
  HeldFunction flag = HeldFunction::Count;
  TimerEdge timerEdge = TimerEdge::None;
  std::uintptr_t timer = 0;

  MouseButton Button() const { return static_cast<MouseButton>(key); }

  constexpr ActionHalf Setting(HeldFunction f) const {
    ActionHalf h = *this;
    h.flagEdge = FlagEdge::Set;
    h.flag = f;
    return h;
  }
  constexpr ActionHalf Clearing(HeldFunction f) const {
    ActionHalf h = *this;
    h.flagEdge = FlagEdge::Clear;
    h.flag = f;
    return h;
  }
  constexpr ActionHalf Starting(std::uintptr_t id) const {
    ActionHalf h = *this;
    h.timerEdge = TimerEdge::Start;
    h.timer = id;
    return h;
  }
  constexpr ActionHalf Stopping(std::uintptr_t id) const {
    ActionHalf h = *this;
    h.timerEdge = TimerEdge::Stop;
    h.timer = id;
    return h;
  }
};

inline constexpr int kNotNative = -1;

struct ActionRow {
  std::uint8_t code;
  // The button index whose own input this code is: the driver passes that
  // button through, so its halves must not send the input a second time.
  int nativeIndex;
  ActionHalf press;
  ActionHalf release;
  ActionHalf singleShot;
};

// Null for a code that does nothing.
const ActionRow* FindAction(std::uint8_t code);
std::span<const ActionRow> ActionCatalogue();

// Whether code is the native function of button index: the driver lets that
// button's own input through.
bool IsNativeCode(int index, std::uint8_t code);
// The press half of the one row that sets a held function's flag: timer 202
// replays its input (a button's click, or a key's tap) while the flag is set.
const ActionHalf& PressHolding(HeldFunction function);

}  // namespace hidhost::actions
