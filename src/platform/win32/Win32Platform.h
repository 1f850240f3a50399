// The platform seam on the real system: every facet makes the system calls
// that its methods are named after. Build with HIDHOST_EMULATED_DRIVER to
// reach the driver emulator's pipe instead of the device.
#pragma once

#include "platform/Platform.h"
#include "platform/win32/EmulatedDriverDevice.h"
#include "platform/win32/FrameworkWindowClass.h"
#include "platform/win32/Win32DriverDevice.h"
#include "platform/win32/Win32Input.h"
#include "platform/win32/Win32Kernel.h"
#include "platform/win32/Win32ProfileFiles.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32Timers.h"
#include "platform/win32/Win32Windows.h"

namespace hidhost::platform::win32 {

#ifdef HIDHOST_EMULATED_DRIVER
using SelectedDriverDevice = EmulatedDriverDevice;
#else
using SelectedDriverDevice = Win32DriverDevice;
#endif

// The facets themselves; a base of Win32Platform so that they exist before
// the seam's references to them are bound.
class Win32Facets {
 protected:
  Win32Facets() : windowsFacet_(windowClass_), timersFacet_(windowClass_) {}

  FrameworkWindowClass windowClass_;
  Win32Input inputFacet_;
  Win32Windows windowsFacet_;
  Win32Timers timersFacet_;
  Win32Registry registryFacet_;
  Win32ProfileFiles profileFacet_;
  Win32Kernel kernelFacet_;
  Win32Shell shellFacet_;
  SelectedDriverDevice driverFacet_;
};

// One per process is enough; it holds no state but the window class's
// private message numbers and the emulated driver's lock.
class Win32Platform : private Win32Facets, public Platform {
 public:
  Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;
};

}  // namespace hidhost::platform::win32
