// Any config.ini text through ReadConfiguration, and the one key the host
// writes back, on the light desktop.
//
// Input: one byte of flags (bit 0 locks Control Panel\Mouse, bit 1 locks
// Control Panel\Desktop, bit 2 has another program hold config.ini open),
// then the file's bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "FuzzCheck.h"
#include "light/FastTarget.h"
#include "light/LightHost.h"
#include "settings/ConfigFile.h"

namespace {

using hidhost::fuzzing::LightDesktop;
using hidhost::settings::MouseSettings;

constexpr std::uint8_t kLockMouseKey = 0x01;
constexpr std::uint8_t kLockDesktopKey = 0x02;
constexpr std::uint8_t kFileHeld = 0x04;

MouseSettings Read(hidhost::platform::Platform& platform, int& result) {
  MouseSettings record{};
  hidhost::settings::ClearSettings(record);
  result = hidhost::settings::ReadConfiguration(platform, record);
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return -1;
  const std::uint8_t flags = data[0];
  LightDesktop desktop;
  hidhost::fuzzing::FurnishRegistry(desktop.Registry());
  // A locked key can be neither opened nor created.
  for (const auto& [flag, name] : {std::pair{kLockMouseKey, "Control Panel\\Mouse"},
                                   std::pair{kLockDesktopKey, "Control Panel\\Desktop"}}) {
    auto& key = desktop.Registry().Key(name);
    if (flags & flag) key.canOpen = key.canCreate = false;
  }
  desktop.Profile().SetText(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  desktop.Profile().SetLocked((flags & kFileHeld) != 0);
  hidhost::platform::Platform& platform = desktop.Platform();

  int result = -1;
  const MouseSettings first = Read(platform, result);
  // The file is there: only an unusable mouse key, or a writer holding the
  // file, keeps it unread.
  FUZZ_CHECK(result == ((flags & (kLockMouseKey | kFileHeld)) ? 0 : 1));

  int again = -1;
  FUZZ_CHECK(Read(platform, again) == first && again == result);

  if (!(flags & kFileHeld)) {
    // Writing Device changes no other setting, and reads back as written.
    const std::string path(hidhost::fuzzing::LightProfileFiles::kConfigPath);
    FUZZ_CHECK(hidhost::settings::WriteDeviceFlag(platform.profile, path, 1) == 1);
    FUZZ_CHECK(platform.profile.GetPrivateProfileInt("Setting", "Device", -7, path) == 1);
    int afterWrite = -1;
    FUZZ_CHECK(Read(platform, afterWrite) == first && afterWrite == result);
  }
  FUZZ_CHECK(desktop.OpenObjects() == 0);
  return 0;
}
