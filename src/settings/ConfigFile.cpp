#include "settings/ConfigFile.h"

#include <array>
#include <cstddef>
#include <string>

#include "platform/Constants.h"
#include "platform/UniqueResource.h"
#include "settings/SystemMouseSettings.h"

namespace hidhost::settings {

namespace {

constexpr std::string_view kSection = "Setting";
constexpr std::string_view kConfigFileName = "config.ini";

struct IntegerKey {
  std::string_view name;
  std::int32_t MouseSettings::*field;
  std::int32_t fallback;
};

// Read in this order. The configuration program writes them; a missing key
// marks its field as unknown (-1), except MouseColor, which has no such value.
constexpr std::array<IntegerKey, 14> kIntegerKeys = {{
    {"HScrollWheelSpeed", &MouseSettings::HScrollWheelSpeed, -1},
    {"MainSens", &MouseSettings::MainSens, -1},
    {"XYSensFlag", &MouseSettings::XYSensFlag, -1},
    {"XSens", &MouseSettings::XSens, -1},
    {"YSens", &MouseSettings::YSens, -1},
    {"OTFStatus", &MouseSettings::OTFStatus, -1},
    {"DpiValue0", &MouseSettings::DpiValue0, -1},
    {"DpiValue1", &MouseSettings::DpiValue1, -1},
    {"DpiValue2", &MouseSettings::DpiValue2, -1},
    {"PRValue", &MouseSettings::PRValue, -1},
    {"OTGSpeed", &MouseSettings::OTGSpeed, -1},
    {"LightSwitch", &MouseSettings::LightSwitch, -1},
    {"LightEffectType", &MouseSettings::LightEffectType, -1},
    {"MouseColor", &MouseSettings::MouseColor, 0},
}};

// A key that is missing or malformed leaves that button with its built-in
// action rather than with bytes that belong to no button.
ButtonAssignment ReadButtonAssignment(ProfileFile& file, int index) {
  // Built in two steps: i686 gcc 12 warns falsely (-Wrestrict) on the one-line form.
  std::string key = "ButtonInfo";
  key += std::to_string(index);
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

int FileExists(platform::Platform& platform, std::string_view path) {
  // No sharing: a file that another program holds open counts as absent,
  // so the host never reads one that is being written.
  const platform::UniqueHandle file(
      platform.kernel,
      platform.profile.CreateFile(path, platform::kGenericRead, 0, platform::kOpenExisting));
  return file ? 1 : 0;
}

int ReadConfiguration(platform::Platform& platform, MouseSettings& record) {
  const std::string directory = ModuleDirectory(platform.profile);
  if (ReadSystemMouseSettings(platform, record) == 0) return 0;
  const std::string path = ConfigPathFor(directory);
  if (FileExists(platform, path) == 0) return 0;
  ProfileFile file(platform.profile, path);
  for (const auto& key : kIntegerKeys) {
    record.*key.field = file.ReadInt(kSection, key.name, key.fallback);
  }
  for (int i = 0; i < kButtonCount; ++i) {
    record.ButtonInfo[static_cast<std::size_t>(i)] = ReadButtonAssignment(file, i);
  }
  return 1;
}

int WriteDeviceFlag(platform::ProfileFiles& files, std::string_view path, std::int32_t value) {
  // A failed write is not acted on: the configuration program reads a stale
  // flag at worst, and the next device change writes it again.
  ProfileFile(files, std::string(path)).WriteInt(kSection, "Device", value);
  return 1;
}

}  // namespace hidhost::settings
