#pragma once

#include <cstdint>

#include "platform/Platform.h"
#include "settings/LiveSettings.h"

namespace hidhost::actions {

// Scrolls the window under the cursor one step sideways: n > 0 left, n < 0 right.
void ScrollHorizontally(platform::Platform& platform, const settings::LiveSettings& settings,
                        std::int32_t n);

}  // namespace hidhost::actions
