// The keyboard layout's scan codes for every virtual key the host sends, the
// three forms of SystemParametersInfo's pvParam, the mouse settings calls and
// the cursor. Each setting is put back afterwards.
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <set>

#include "Cases.h"
#include "actions/KeyUsageTable.h"
#include "platform/Constants.h"
#include "platform/sim/ScanCodes.h"

namespace hidhost::conformance {
namespace {

// The US layout's set-one codes, as MapVirtualKey gives them.
constexpr struct {
  std::uint32_t vk;
  std::uint32_t scan;
} kLayout[] = {
    {0x11, 0x1D}, {0x10, 0x2A}, {0x12, 0x38}, {'A', 0x1E},  {'C', 0x2E},  {'Z', 0x2C},
    {'0', 0x0B},  {'1', 0x02},  {0x70, 0x3B}, {0x7B, 0x58}, {0x25, 0x4B}, {0x27, 0x4D},
    {0x26, 0x48}, {0x28, 0x50}, {0x0D, 0x1C}, {0x5B, 0x5B}, {0xA1, 0x36}, {0xA3, 0x1D},
    {0xAF, 0x30}, {0xB3, 0x22}, {0x2C, 0x54}, {0x6F, 0x35}, {0x2A, 0x00}, {0x6C, 0x00},
    {0x00, 0x00}, {0xF0, 0x00}, {0x13, 0x00}, {0xF1, 0x5B}, {0xF3, 0x5F},
};

// Every virtual key the host can send: the key usages, the actions' own keys
// and the modifiers.
std::set<std::uint32_t> KeysTheHostSends() {
  std::set<std::uint32_t> keys = {0x10, 0x11, 0x12, 0x09, 0x25, 0x27, 0x5B, 0x73, 0xA4,
                                  'A',  'C',  'D',  'N',  'P',  'S',  'V',  'W',  'X',
                                  'Z',  0x2C, 0xAD, 0xAE, 0xAF, 0xB0, 0xB1, 0xB2, 0xB3};
  for (const auto& row : actions::kKeyUsageTable) keys.insert(row.virtualKey);
  return keys;
}

// Wine 8 answers from its X11 driver's own table of the keyboard, not from the
// Windows layout: the keypad's digits, the media keys and most 3270 keys have
// no scan code there, VK_SNAPSHOT is the E0-prefixed 37 (the layout's second
// Print Screen), VK_PAUSE is Num Lock's 45 (what a physical Pause shows in a
// key message) and two 3270 keys sit on Japanese keys' codes.
bool WineTableDiffers(std::uint32_t vk) {
  static constexpr std::uint32_t kWineOwn[] = {0x13, 0x2C, 0x60, 0x61, 0x62, 0x63, 0x64, 0x65,
                                               0x66, 0x67, 0x68, 0x69, 0xAD, 0xAE, 0xAF, 0xB0,
                                               0xB1, 0xB2, 0xB3, 0xF1, 0xF2, 0xF3};
  return std::find(std::begin(kWineOwn), std::end(kWineOwn), vk) != std::end(kWineOwn);
}

void CheckScanCode(Checks& check, int row, std::uint32_t vk, std::uint32_t got,
                   std::uint32_t expected) {
  char what[48];
  std::snprintf(what, sizeof what, "scan code of virtual key 0x%02X", vk);
  if (WineTableDiffers(vk)) check.KnownOnWine("Wine's X11 keyboard table, not the layout");
  check.Equal(row, what, got, expected);
}

}  // namespace

void ScanCodes(Checks& check, Stage& stage) {
  auto& input = stage.Seam().input;
  int row = 1;
  for (const auto& key : kLayout) {
    CheckScanCode(check, row++, key.vk, input.MapVirtualKey(key.vk, platform::kMapVkToVsc),
                  key.scan);
  }
  // The simulator's layout is a table of its own: each key the host sends
  // must map as on the system.
  row = 100;
  for (const std::uint32_t vk : KeysTheHostSends()) {
    CheckScanCode(check, row++, vk, input.MapVirtualKey(vk, platform::kMapVkToVsc),
                  sim::ScanCodeOfVirtualKey(vk));
  }
}

void MouseSettingsAndCursor(Checks& check, Stage& stage) {
  auto& input = stage.Seam().input;
  const MouseSettings saved = stage.ReadMouseSettings();
  check.True(1, "Triple: SPI_SETMOUSE",
             input.SystemParametersInfo(platform::kSpiSetMouse, 0,
                                        platform::SpiArgument::Triple(6, 10, 1), 0));
  const MouseSettings triple = stage.ReadMouseSettings();
  check.True(2, "the three values in order",
             triple.mouse[0] == 6 && triple.mouse[1] == 10 && triple.mouse[2] == 1);
  check.True(3, "Null: SPI_SETWHEELSCROLLLINES",
             input.SystemParametersInfo(platform::kSpiSetWheelScrollLines, 7,
                                        platform::SpiArgument::Null(), 0));
  check.Equal(4, "the value from uiParam", stage.ReadMouseSettings().wheelLines, 7u);
  check.True(5, "Value: SPI_SETMOUSESPEED",
             input.SystemParametersInfo(platform::kSpiSetMouseSpeed, 0,
                                        platform::SpiArgument::Value(13), 0));
  check.KnownOnWine("Wine reads SPI_SETMOUSESPEED's value from uiParam")
      .Equal(6, "the value itself in pvParam", stage.ReadMouseSettings().speed, 13);
  check.True(7, "SetDoubleClickTime", input.SetDoubleClickTime(640));
  check.Equal(8, "double-click time", stage.ReadMouseSettings().doubleClickMs, 640u);
  stage.RestoreMouseSettings(saved);

  const bool wasSwapped = input.GetSystemMetrics(platform::kSmSwapButton) != 0;
  check.Equal(10, "SwapMouseButton answers the earlier state", input.SwapMouseButton(!wasSwapped),
              wasSwapped);
  check.Equal(11, "the swap state", input.GetSystemMetrics(platform::kSmSwapButton) != 0,
              !wasSwapped);
  input.SwapMouseButton(wasSwapped);
  input.SystemParametersInfo(platform::kSpiSetMouseButtonSwap, !wasSwapped,
                             platform::SpiArgument::Null(), 0);
  check.Equal(12, "SPI_SETMOUSEBUTTONSWAP swaps as well",
              input.GetSystemMetrics(platform::kSmSwapButton) != 0, !wasSwapped);
  input.SwapMouseButton(wasSwapped);

  platform::Point point;
  check.True(20, "SetCursorPos", input.SetCursorPos(30, 40));
  check.True(21, "the cursor where it was put",
             input.GetCursorPos(point) && point == platform::Point{30, 40});
  constexpr std::int32_t kSmCxScreen = 0;
  input.SetCursorPos(50000, -3);
  check.True(22, "kept within the screen",
             input.GetCursorPos(point) &&
                 point == platform::Point{input.GetSystemMetrics(kSmCxScreen) - 1, 0});
  check.Equal(23, "no extra information without a message", input.GetMessageExtraInfo(),
              std::uintptr_t{0});
}

}  // namespace hidhost::conformance
