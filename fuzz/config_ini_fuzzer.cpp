// Arbitrary config.ini contents through ReadConfiguration, and the one key
// the host writes back.
//
// Input: one byte of flags (bit 0 locks Control Panel\Mouse, bit 1 locks
// Control Panel\Desktop), then the file's bytes.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "SettingsChecks.h"
#include "platform/sim/SimDesktop.h"

namespace {

constexpr std::uint8_t kLockMouseKey = 0x01;
constexpr std::uint8_t kLockDesktopKey = 0x02;

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

  // The file is there and nobody holds it: only an unusable mouse key keeps it unread.
  hidhost::fuzzing::CheckConfigurationReads(
      platform, std::string(hidhost::sim::kHostDirectory) + "config.ini",
      (data[0] & kLockMouseKey) ? 0 : 1, true);
  FUZZ_CHECK(process.OpenObjectCount() == 0);
  return 0;
}
