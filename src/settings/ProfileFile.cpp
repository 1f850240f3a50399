#include <string>
#include <utility>

#include "settings/ConfigFile.h"

namespace hidhost::settings {

ProfileFile::ProfileFile(platform::ProfileFiles& files, std::string path)
    : files_(files), path_(std::move(path)) {}

std::int32_t ProfileFile::ReadInt(std::string_view section, std::string_view key,
                                  std::int32_t fallback) {
  return static_cast<std::int32_t>(files_.GetPrivateProfileInt(section, key, fallback, path_));
}

bool ProfileFile::ReadStruct(std::string_view section, std::string_view key,
                             std::span<std::uint8_t> out) {
  return files_.GetPrivateProfileStruct(section, key, out, path_);
}

bool ProfileFile::WriteInt(std::string_view section, std::string_view key, std::int32_t value) {
  return files_.WritePrivateProfileString(section, key, std::to_string(value), path_);
}

}  // namespace hidhost::settings
