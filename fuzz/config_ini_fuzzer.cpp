// Arbitrary config.ini contents through ReadConfiguration, and the one key
// the host writes back.
//
// Input: one byte of flags (bit 0 locks Control Panel\Mouse, bit 1 locks
// Control Panel\Desktop), then the file's bytes.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "FuzzCheck.h"
#include "platform/sim/SimDesktop.h"
#include "settings/ConfigFile.h"

namespace {

using hidhost::settings::MouseSettings;

constexpr std::uint8_t kLockMouseKey = 0x01;
constexpr std::uint8_t kLockDesktopKey = 0x02;

MouseSettings Read(hidhost::platform::Platform& platform, int& result) {
  MouseSettings record{};
  hidhost::settings::ClearSettings(record);
  result = hidhost::settings::ReadConfiguration(platform, record);
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return -1;
  hidhost::sim::SimDesktop desktop;
  if (data[0] & kLockMouseKey) desktop.LockRegistryKey("Control Panel\\Mouse");
  if (data[0] & kLockDesktopKey) desktop.LockRegistryKey("Control Panel\\Desktop");
  {
    std::ofstream file(desktop.HostDirectoryOnDisk() / "config.ini", std::ios::binary);
    file.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  hidhost::sim::SimProcess& process = desktop.StartProcess();
  hidhost::platform::Platform& platform = process.Platform();

  int result = -1;
  const MouseSettings first = Read(platform, result);
  // The file is there and nobody holds it: only an unusable mouse key keeps it unread.
  FUZZ_CHECK(result == ((data[0] & kLockMouseKey) ? 0 : 1));

  int again = -1;
  FUZZ_CHECK(Read(platform, again) == first && again == result);

  // Writing Device changes no other setting, and reads back as written.
  const std::string path = std::string(hidhost::sim::kHostDirectory) + "config.ini";
  FUZZ_CHECK(hidhost::settings::WriteDeviceFlag(platform.profile, path, 1) == 1);
  FUZZ_CHECK(platform.profile.GetPrivateProfileInt("Setting", "Device", -7, path) == 1);
  int afterWrite = -1;
  FUZZ_CHECK(Read(platform, afterWrite) == first && afterWrite == result);

  FUZZ_CHECK(process.OpenObjectCount() == 0);
  return 0;
}
