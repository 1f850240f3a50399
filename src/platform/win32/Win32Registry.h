// The registry, with the seam's predefined roots mapped to the system's.
#pragma once

#include "platform/Platform.h"

namespace hidhost::platform::win32 {

class Win32Registry final : public Registry {
 public:
  RegKey OpenKey(RegKey root, std::string_view subkey, std::uint32_t access) override;
  RegKey CreateKey(RegKey root, std::string_view subkey) override;
  bool QueryValue(RegKey key, std::string_view name, std::span<char> buffer, std::uint32_t* type,
                  std::uint32_t* size) override;
  bool SetValue(RegKey key, std::string_view name, std::uint32_t type,
                std::span<const char> data) override;
  bool CloseKey(RegKey key) override;
};

}  // namespace hidhost::platform::win32
