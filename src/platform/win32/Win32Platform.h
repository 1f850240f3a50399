// The platform seam on the real system. Build with HIDHOST_EMULATED_DRIVER
// to reach the driver emulator's pipe instead of the device.
#pragma once

#include <memory>

#include "platform/Platform.h"
#include "platform/win32/FrameworkWindowClass.h"

namespace hidhost::platform::win32 {

// The facets themselves; a base of Win32Platform so that they exist before
// the seam's references to them are bound.
class Win32Facets {
 protected:
  Win32Facets();
  ~Win32Facets();

  FrameworkWindowClass windowClass_;
  std::unique_ptr<Input> input_;
  std::unique_ptr<Windows> windows_;
  std::unique_ptr<Timers> timers_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<ProfileFiles> profile_;
  std::unique_ptr<Kernel> kernel_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<DriverDevice> driver_;
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
