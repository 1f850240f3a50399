#pragma once

#include <cstdint>

#include "settings/LiveSettings.h"

namespace hidhost::device {

// One bit per button index: set withholds the button's own input because the
// host performs its action; cleared lets it through. Only the first five
// buttons can pass through, each when it holds its own native function.
std::uint16_t ComputePassThroughMask(const settings::LiveSettings& settings);

}  // namespace hidhost::device
