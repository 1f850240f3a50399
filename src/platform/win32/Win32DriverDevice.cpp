#include <memory>
#include <string>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Facets.h"
#include "platform/win32/Win32Values.h"

namespace hidhost::platform::win32 {

// The mouse driver's control device, reached through the system's I/O manager.
class Win32DriverDevice final : public DriverDevice {
 public:
  Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
              std::uint32_t disposition) override;
  bool IoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override;
  bool Close(Handle device) override;
};

Handle Win32DriverDevice::Open(std::string_view name, std::uint32_t access, std::uint32_t share,
                               std::uint32_t disposition) {
  // Flags 0: no overlapped I/O, so every request completes before it returns.
  return FromHandle(
      ::CreateFileA(std::string(name).c_str(), access, share, nullptr, disposition, 0, nullptr));
}

bool Win32DriverDevice::IoControl(Handle device, std::uint32_t code, const void* in,
                                  std::uint32_t inSize, void* out, std::uint32_t outSize) {
  DWORD returned = 0;  // the call needs somewhere to put it; nobody reads it
  return ::DeviceIoControl(ToHandle(device), code, const_cast<void*>(in), inSize, out, outSize,
                           &returned, nullptr);
}

bool Win32DriverDevice::Close(Handle device) {
  return ::CloseHandle(ToHandle(device));
}

std::unique_ptr<DriverDevice> MakeDriverDevice() {
  return std::make_unique<Win32DriverDevice>();
}

}  // namespace hidhost::platform::win32
