#include "device/PassThroughMask.h"

#include <array>

namespace hidhost::device {

namespace {

struct NativeButton {
  int index;
  std::uint8_t actionCode;
};

// Button index and the action code that is that button's own function.
constexpr std::array<NativeButton, 5> kNativeButtons = {{
    {0, 1},   // left button
    {1, 2},   // right button
    {2, 3},   // middle button
    {3, 12},  // X button 1
    {4, 11},  // X button 2
}};

}  // namespace

std::uint16_t ComputePassThroughMask(const settings::LiveSettings& settings) {
  std::uint16_t mask = 0xFFFF;
  for (const NativeButton& button : kNativeButtons) {
    if (settings.ActionCode(button.index) == button.actionCode) {
      mask = static_cast<std::uint16_t>(mask & ~(1u << button.index));
    }
  }
  return mask;
}

}  // namespace hidhost::device
