// Profile (INI) files, plain files and the executable's own path.
#pragma once

#include "platform/Platform.h"

namespace hidhost::platform::win32 {

class Win32ProfileFiles final : public ProfileFiles {
 public:
  std::uint32_t GetPrivateProfileInt(std::string_view section, std::string_view key,
                                     std::int32_t fallback, std::string_view path) override;
  bool GetPrivateProfileStruct(std::string_view section, std::string_view key,
                               std::span<std::uint8_t> out, std::string_view path) override;
  bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, std::string_view path) override;
  Handle CreateFile(std::string_view path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition) override;
  std::string GetModuleFileName() override;
};

}  // namespace hidhost::platform::win32
