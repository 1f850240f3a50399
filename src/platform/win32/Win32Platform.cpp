#include "platform/win32/Win32Platform.h"

namespace hidhost::platform::win32 {

Win32Platform::Win32Platform()
    : Platform{inputFacet_,   windowsFacet_, timersFacet_, registryFacet_,
               profileFacet_, kernelFacet_,  shellFacet_,  driverFacet_} {}

}  // namespace hidhost::platform::win32
