#pragma once

#include <cstdint>

#include "actions/KeyUsageTable.h"
#include "actions/TimerResolution.h"
#include "platform/Platform.h"
#include "settings/LiveSettings.h"

namespace hidhost::actions {

// The virtual-key code of a keyboard usage id; false when the table has no row for it.
[[nodiscard]] bool VirtualKeyFromUsage(std::uint32_t usage, std::uint32_t& virtualKey);
// The table's row for a usage id; null when it has none.
const KeyUsageRow* KeyUsageRowFor(std::uint32_t usage);
// The key (and modifier) stored in assignment index, as synthesized key
// events with a 1 ms pause between each pair, at 1 ms resolution.
void SendKeyCombination(platform::Platform& platform, const settings::LiveSettings& settings,
                        TimerResolution& resolution, std::int32_t index);

}  // namespace hidhost::actions
