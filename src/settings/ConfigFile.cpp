#include "settings/ConfigFile.h"

#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "platform/Constants.h"
#include "platform/UniqueResource.h"
#include "settings/LiveSettings.h"
#include "settings/SystemMouseSettings.h"

namespace hidhost::settings {

namespace {

constexpr std::string_view kSection = "Setting";
constexpr std::string_view kConfigFileName = "config.ini";

// The keys from HScrollWheelSpeed to the record's last number field are read
// from config.ini, in the record's order; the ones before it belong to the
// registry. The configuration program writes them; a missing key marks its
// field as unknown (-1), except MouseColor, which has no such value.
constexpr std::size_t kFirstConfigKey = static_cast<std::size_t>(Field::HScrollWheelSpeed);
constexpr auto kConfigKeys = std::span(contracts::kNumberFields).subspan<kFirstConfigKey>();

constexpr std::int32_t MissingValue(const contracts::NumberField& key) {
  return key.member == &MouseSettings::MouseColor ? 0 : -1;
}

// A key that is missing or malformed leaves that button with its built-in
// action rather than with bytes that belong to no button.
ButtonAssignment ReadButtonAssignment(ProfileFile& file, int index) {
  const std::string_view key = contracts::kButtonInfoNames[static_cast<std::size_t>(index)];
  std::array<std::uint8_t, 4> bytes{};
  if (!file.ReadStruct(kSection, key, bytes)) return DefaultAssignment(index);
  return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

std::string ModuleDirectory(platform::ProfileFiles& files) {
  const std::string path = files.GetModuleFileName();
  // Drive and directory as the C runtime splits a path: everything up to
  // and including the last separator, or the drive alone when there is none.
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return path.substr(0, i);
  }
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return {};
}

std::string ConfigPathFor(std::string_view moduleDirectory) {
  std::string path(moduleDirectory);
  path += kConfigFileName;
  return path;
}

bool FileExists(platform::Platform& platform, std::string_view path) {
  // No sharing: a file that another program holds open counts as absent,
  // so the host never reads one that is being written.
  const platform::UniqueHandle file(
      platform.kernel,
      platform.profile.CreateFile(path, platform::kGenericRead, 0, platform::kOpenExisting));
  return static_cast<bool>(file);
}

bool ReadConfiguration(platform::Platform& platform, MouseSettings& record) {
  const std::string directory = ModuleDirectory(platform.profile);
  if (ReadSystemMouseSettings(platform, record) == 0) return false;
  const std::string path = ConfigPathFor(directory);
  if (!FileExists(platform, path)) return false;
  ProfileFile file(platform.profile, path);
  for (const auto& key : kConfigKeys) {
    record.*key.member = file.ReadInt(kSection, key.name, MissingValue(key));
  }
  for (int i = 0; i < kButtonCount; ++i) {
    record.ButtonInfo[static_cast<std::size_t>(i)] = ReadButtonAssignment(file, i);
  }
  return true;
}

void WriteDeviceFlag(platform::ProfileFiles& files, std::string_view path, std::int32_t value) {
  // A failed write is not acted on: the configuration program reads a stale
  // flag at worst, and the next device change writes it again.
  ProfileFile(files, std::string(path)).WriteInt(kSection, "Device", value);
}

}  // namespace hidhost::settings
