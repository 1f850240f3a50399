// The scan codes of the US keyboard layout, as MapVirtualKeyA gives them.
#pragma once

#include <cstdint>

namespace hidhost::sim {

// MAPVK_VK_TO_VSC: the set-1 scan code of a virtual key, without the E0
// prefix of extended keys; 0 for a code the layout has no key for.
std::uint32_t ScanCodeOfVirtualKey(std::uint32_t vk);

}  // namespace hidhost::sim
