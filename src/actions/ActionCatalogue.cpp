#include "actions/ActionCatalogue.h"

#include <array>

#include "actions/ActionDispatcher.h"
#include "platform/Constants.h"
#include "settings/ButtonLayout.h"

namespace hidhost::actions {

namespace {

using HF = HeldFunction;
using MB = MouseButton;

constexpr ActionHalf None() {
  return {};
}
constexpr ActionHalf Out(Output output, std::uint8_t key = 0, std::uint8_t modifier = 0,
                         std::int32_t amount = 0) {
  ActionHalf h;
  h.output = output;
  h.key = key;
  h.modifier = modifier;
  h.amount = amount;
  return h;
}
constexpr ActionHalf Down(MB b) {
  return Out(Output::ButtonDown, static_cast<std::uint8_t>(b));
}
constexpr ActionHalf Up(MB b) {
  return Out(Output::ButtonUp, static_cast<std::uint8_t>(b));
}
constexpr ActionHalf ClickOf(MB b) {
  return Out(Output::Click, static_cast<std::uint8_t>(b));
}
constexpr ActionHalf Tap(std::uint8_t vk) {
  return Out(Output::KeyTap, vk);
}
constexpr ActionHalf Ctrl(std::uint8_t vk) {
  return Out(Output::CtrlChord, vk);
}
constexpr ActionHalf Chord(std::uint8_t modifier, std::uint8_t vk) {
  return Out(Output::HeldModifierChord, vk, modifier);
}
constexpr ActionHalf Wheel(std::int32_t delta) {
  return Out(Output::WheelStep, 0, 0, delta);
}
constexpr ActionHalf Scroll(std::int32_t step) {
  return Out(Output::ScrollHorizontally, 0, 0, step);
}

constexpr ActionHalf kPrimaryClick = Out(Output::PrimaryClick);
constexpr ActionHalf kDoubleClick = Out(Output::PrimaryDoubleClick);
constexpr ActionHalf kKeyCombination = Out(Output::KeyCombination);
constexpr ActionHalf kMyComputer = Out(Output::OpenMyComputer);
constexpr ActionHalf kShellRequest = Out(Output::ShellRequest);

constexpr std::uint8_t kVkSnapshot = 0x2C;
constexpr std::uint8_t kVkVolumeMute = 0xAD;
constexpr std::uint8_t kVkVolumeDown = 0xAE;
constexpr std::uint8_t kVkVolumeUp = 0xAF;
constexpr std::uint8_t kVkMediaNext = 0xB0;
constexpr std::uint8_t kVkMediaPrev = 0xB1;
constexpr std::uint8_t kVkMediaStop = 0xB2;
constexpr std::uint8_t kVkMediaPlayPause = 0xB3;
constexpr std::uint8_t kVkLMenu = platform::kVkLMenu;
constexpr std::uint8_t kVkLWin = platform::kVkLWin;
constexpr std::uint8_t kVkF4 = platform::kVkF4;

// clang-format off
constexpr std::array kCatalogue = std::to_array<ActionRow>({
//  code native      press                                    release                                  single shot
  {  1, 0,          Down(MB::Left).Setting(HF::LeftButton),   Up(MB::Left).Clearing(HF::LeftButton),    ClickOf(MB::Left)},
  {  2, 1,          Down(MB::Right).Setting(HF::RightButton), Up(MB::Right).Clearing(HF::RightButton),  ClickOf(MB::Right)},
  {  3, 2,          Down(MB::Middle).Setting(HF::MiddleButton), Up(MB::Middle).Clearing(HF::MiddleButton), ClickOf(MB::Middle)},
  {  4, kNotNative, kDoubleClick,                             None(),                                   kDoubleClick},
  {  5, kNotNative, None(),                                   kKeyCombination,                          kKeyCombination},
  { 11, 4,          Down(MB::X2).Setting(HF::XButton2),       Up(MB::X2).Clearing(HF::XButton2),        ClickOf(MB::X2)},
  { 12, 3,          Down(MB::X1).Setting(HF::XButton1),       Up(MB::X1).Clearing(HF::XButton1),        ClickOf(MB::X1)},
  { 15, kNotNative, None(),                                   Scroll(+1),                               Scroll(+1)},
  { 16, kNotNative, None(),                                   Scroll(-1),                               Scroll(-1)},
  { 21, kNotNative, Tap('W').Setting(HF::WKey),               None().Clearing(HF::WKey),                None()},
  { 22, kNotNative, Tap('S').Setting(HF::SKey),               None().Clearing(HF::SKey),                None()},
  { 23, kNotNative, kPrimaryClick.Starting(kRepeatClickTimer), None().Stopping(kRepeatClickTimer),      None()},
  { 24, kNotNative, None().Starting(kAutoFireTimer),          None().Stopping(kAutoFireTimer),          None()},
  { 25, kNotNative, Tap(kVkSnapshot),                         None(),                                   Tap(kVkSnapshot)},
  { 32, kNotNative, None(),                                   Tap(kVkMediaPlayPause),                   Tap(kVkMediaPlayPause)},
  { 33, kNotNative, None(),                                   Tap(kVkMediaStop),                        Tap(kVkMediaStop)},
  { 34, kNotNative, None(),                                   Tap(kVkMediaPrev),                        Tap(kVkMediaPrev)},
  { 35, kNotNative, None(),                                   Tap(kVkMediaNext),                        Tap(kVkMediaNext)},
  { 36, kNotNative, None(),                                   Tap(kVkMediaPlayPause),                   Tap(kVkMediaPlayPause)},
  { 37, kNotNative, Tap(kVkVolumeUp).Setting(HF::VolumeUp),   None().Clearing(HF::VolumeUp),            Tap(kVkVolumeUp)},
  { 38, kNotNative, Tap(kVkVolumeDown).Setting(HF::VolumeDown), None().Clearing(HF::VolumeDown),        Tap(kVkVolumeDown)},
  { 39, kNotNative, None(),                                   Tap(kVkVolumeMute),                       Tap(kVkVolumeMute)},
  { 48, kNotNative, None(),                                   Wheel(+platform::kWheelDelta),            Wheel(+platform::kWheelDelta)},
  { 49, kNotNative, None(),                                   Wheel(-platform::kWheelDelta),            Wheel(-platform::kWheelDelta)},
  { 64, kNotNative, None(),                                   Ctrl('X'),                                Ctrl('X')},
  { 65, kNotNative, Ctrl('C'),                                None(),                                   Ctrl('C')},
  { 66, kNotNative, Ctrl('V'),                                None(),                                   Ctrl('V')},
  { 67, kNotNative, None(),                                   Ctrl('Z'),                                Ctrl('Z')},
  { 68, kNotNative, None(),                                   Ctrl('A'),                                Ctrl('A')},
  { 69, kNotNative, None(),                                   kShellRequest,                            kShellRequest},
  { 70, kNotNative, None(),                                   Ctrl('N'),                                Ctrl('N')},
  { 71, kNotNative, None(),                                   Ctrl('P'),                                Ctrl('P')},
  { 72, kNotNative, None(),                                   Ctrl('S'),                                Ctrl('S')},
  { 80, kNotNative, Out(Output::HoldModifierTapKey, platform::kVkTab, kVkLMenu).Starting(kSwitchWindowTimer),
                                                              Out(Output::KeyUp, kVkLMenu).Stopping(kSwitchWindowTimer),
                                                                                                        Chord(kVkLMenu, platform::kVkTab)},
  { 81, kNotNative, None(),                                   Chord(kVkLMenu, kVkF4),                   Chord(kVkLMenu, kVkF4)},
  { 83, kNotNative, None(),                                   kMyComputer,                              kMyComputer},
  { 84, kNotNative, None(),                                   kShellRequest,                            kShellRequest},
  { 85, kNotNative, None(),                                   Chord(kVkLWin, 'D'),                      Chord(kVkLWin, 'D')},
});
// clang-format on

constexpr std::uint8_t kNoRow = 0xFF;
static_assert(kCatalogue.size() < kNoRow);

// Code -> row position, so that a lookup costs the same for every code.
constexpr std::array<std::uint8_t, 256> BuildIndex() {
  std::array<std::uint8_t, 256> index{};
  index.fill(kNoRow);
  for (std::size_t row = 0; row < kCatalogue.size(); ++row) {
    index[kCatalogue[row].code] = static_cast<std::uint8_t>(row);
  }
  return index;
}
constexpr std::array<std::uint8_t, 256> kIndex = BuildIndex();

constexpr bool CodesAreUnique() {
  std::size_t indexed = 0;
  for (std::uint8_t slot : kIndex) indexed += slot != kNoRow ? 1 : 0;
  return indexed == kCatalogue.size();
}
static_assert(CodesAreUnique(), "each code has one row");

// The native column, by button: a native index outside the mouse's own
// buttons does not compile.
constexpr std::array<std::uint8_t, settings::kPhysicalButtonCount> BuildNativeCodes() {
  std::array<std::uint8_t, settings::kPhysicalButtonCount> codes{};
  for (const ActionRow& row : kCatalogue) {
    if (row.nativeIndex != kNotNative)
      codes.at(static_cast<std::size_t>(row.nativeIndex)) = row.code;
  }
  return codes;
}
constexpr auto kNativeCodes = BuildNativeCodes();

constexpr bool EachOwnButtonHasOneNativeCode() {
  for (int index = 0; index < settings::kPhysicalButtonCount; ++index) {
    int rows = 0;
    for (const ActionRow& row : kCatalogue) rows += row.nativeIndex == index ? 1 : 0;
    if (rows != 1) return false;
  }
  return true;
}
static_assert(EachOwnButtonHasOneNativeCode());

constexpr bool DefaultsAreTheNativeCodes() {
  for (std::size_t index = 0; index < kNativeCodes.size(); ++index) {
    if (settings::kDefaultActionCodes[index] != kNativeCodes[index]) return false;
  }
  return true;
}
static_assert(DefaultsAreTheNativeCodes(), "each own button starts with its native function");

constexpr std::size_t kHeldFunctions = static_cast<std::size_t>(HeldFunction::Count);

constexpr bool SetsFlag(const ActionRow& row, std::size_t function) {
  return row.press.flagEdge == FlagEdge::Set &&
         static_cast<std::size_t>(row.press.flag) == function;
}

// Per held function, the row whose press sets it.
constexpr std::array<std::uint8_t, kHeldFunctions> BuildHoldingRows() {
  std::array<std::uint8_t, kHeldFunctions> rows{};
  rows.fill(kNoRow);
  for (std::size_t row = 0; row < kCatalogue.size(); ++row) {
    for (std::size_t f = 0; f < kHeldFunctions; ++f) {
      if (SetsFlag(kCatalogue[row], f)) rows[f] = static_cast<std::uint8_t>(row);
    }
  }
  return rows;
}
constexpr auto kHoldingRows = BuildHoldingRows();

// Timer 202 can replay only a button's down or a key's tap, and each flag
// must belong to exactly one row.
constexpr bool EachHeldFunctionHasOneReplayableRow() {
  for (std::size_t f = 0; f < kHeldFunctions; ++f) {
    std::size_t rows = 0;
    for (const ActionRow& row : kCatalogue) rows += SetsFlag(row, f) ? 1 : 0;
    if (rows != 1) return false;
    const Output output = kCatalogue[kHoldingRows[f]].press.output;
    if (output != Output::ButtonDown && output != Output::KeyTap) return false;
  }
  return true;
}
static_assert(EachHeldFunctionHasOneReplayableRow());

}  // namespace

const ActionRow* FindAction(std::uint8_t code) {
  const std::uint8_t row = kIndex[code];
  return row == kNoRow ? nullptr : &kCatalogue[row];
}

std::span<const ActionRow> ActionCatalogue() {
  return kCatalogue;
}

bool IsNativeCode(int index, std::uint8_t code) {
  const ActionRow* row = FindAction(code);
  return row != nullptr && row->nativeIndex != kNotNative && row->nativeIndex == index;
}

const ActionHalf& PressHolding(HeldFunction function) {
  return kCatalogue[kHoldingRows[static_cast<std::size_t>(function)]].press;
}

}  // namespace hidhost::actions
