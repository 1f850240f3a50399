#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "settings/LiveSettings.h"

namespace hidhost::actions {

// The virtual-key code of a keyboard usage id; 0 when the table has no row for it.
int VirtualKeyFromUsage(std::uint32_t usage, std::uint32_t& virtualKey);
// The key (and modifier) stored in assignment index, as synthesized key events.
void SendKeyCombination(platform::Platform& platform, const settings::LiveSettings& settings,
                        std::int32_t index);

}  // namespace hidhost::actions
