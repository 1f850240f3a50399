// config.ini beside the executable: read once at start-up, Device written back.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "settings/MouseSettings.h"

namespace hidhost::settings {

// Every access to a profile file goes through here.
class ProfileFile {
 public:
  ProfileFile(platform::ProfileFiles& files, std::string path);
  std::int32_t ReadInt(std::string_view section, std::string_view key, std::int32_t fallback);
  bool ReadStruct(std::string_view section, std::string_view key, std::span<std::uint8_t> out);
  bool WriteInt(std::string_view section, std::string_view key, std::int32_t value);
  const std::string& Path() const { return path_; }

 private:
  platform::ProfileFiles& files_;
  std::string path_;
};

// Drive and directory of the running executable, ending with '\'; empty when
// the system cannot give the path.
std::string ModuleDirectory(platform::ProfileFiles& files);
// ModuleDirectory followed by "config.ini".
std::string ConfigPathFor(std::string_view moduleDirectory);
// Whether the file can be opened for reading with no sharing.
[[nodiscard]] bool FileExists(platform::Platform& platform, std::string_view path);
// Registry first, then config.ini; true when the file was read.
[[nodiscard]] bool ReadConfiguration(platform::Platform& platform, MouseSettings& record);
// Device=value in section Setting. A failed write is not acted on.
void WriteDeviceFlag(platform::ProfileFiles& files, std::string_view path, std::int32_t value);

}  // namespace hidhost::settings
