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

#include "SettingsChecks.h"
#include "light/FastTarget.h"
#include "light/LightHost.h"

namespace {

using hidhost::fuzzing::LightDesktop;

constexpr std::uint8_t kLockMouseKey = 0x01;
constexpr std::uint8_t kLockDesktopKey = 0x02;
constexpr std::uint8_t kFileHeld = 0x04;

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

  // The file is there: only an unusable mouse key, or a writer holding the
  // file, keeps it unread.
  hidhost::fuzzing::CheckConfigurationReads(
      platform, std::string(hidhost::fuzzing::LightProfileFiles::kConfigPath),
      (flags & (kLockMouseKey | kFileHeld)) ? 0 : 1, !(flags & kFileHeld));
  FUZZ_CHECK(desktop.OpenObjects() == 0);
  return 0;
}
