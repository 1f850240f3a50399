// The mouse driver's control device, reached through the system's I/O manager.
#pragma once

#include "platform/Platform.h"

namespace hidhost::platform::win32 {

class Win32DriverDevice final : public DriverDevice {
 public:
  Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
              std::uint32_t disposition) override;
  bool IoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override;
  bool Close(Handle device) override;
};

}  // namespace hidhost::platform::win32
