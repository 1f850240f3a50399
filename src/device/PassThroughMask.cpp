#include "device/PassThroughMask.h"

#include "actions/ActionCatalogue.h"
#include "settings/ButtonLayout.h"

namespace hidhost::device {

std::uint16_t ComputePassThroughMask(const settings::LiveSettings& settings) {
  std::uint16_t mask = 0xFFFF;
  for (int index = 0; index < settings::kButtonCount; ++index) {
    if (actions::IsNativeCode(index, settings.ActionCode(index))) {
      mask = static_cast<std::uint16_t>(mask & ~(1u << index));
    }
  }
  return mask;
}

}  // namespace hidhost::device
