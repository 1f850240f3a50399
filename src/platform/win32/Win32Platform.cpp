#include "platform/win32/Win32Platform.h"

#include "platform/win32/Win32Facets.h"

namespace hidhost::platform::win32 {

namespace {

std::unique_ptr<DriverDevice> MakeSelectedDriverDevice() {
#ifdef HIDHOST_EMULATED_DRIVER
  return MakeEmulatedDriverDevice();
#else
  return MakeDriverDevice();
#endif
}

}  // namespace

Win32Facets::Win32Facets()
    : input_(MakeInput()),
      windows_(MakeWindows(windowClass_)),
      timers_(MakeTimers(windowClass_)),
      registry_(MakeRegistry()),
      profile_(MakeProfileFiles()),
      kernel_(MakeKernel()),
      shell_(MakeShell()),
      driver_(MakeSelectedDriverDevice()) {}

Win32Facets::~Win32Facets() = default;

Win32Platform::Win32Platform()
    : Platform{*input_, *windows_, *timers_, *registry_, *profile_, *kernel_, *shell_, *driver_} {}

}  // namespace hidhost::platform::win32
