// Any registry value strings and types, and keys that cannot be opened,
// created or written, through ReadSystemMouseSettings and then
// ApplySystemMouseSettings with whatever record the read produced, on the
// light desktop.
//
// Input (ByteReader): for Control Panel\Mouse and then Control Panel\Desktop,
// four flags (exists, can be opened, can be created, can be written) and, for
// each value the host reads there, a flag (present), the type and the data;
// then a flag and a number that replaces Acceleration before the apply step.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "SettingsChecks.h"
#include "light/FastTarget.h"
#include "light/LightDesktop.h"
#include "platform/Constants.h"
#include "settings/LiveSettings.h"
#include "settings/RegistryKey.h"
#include "settings/SystemMouseSettings.h"

namespace {

using hidhost::fuzzing::FuzzedRegistry;
namespace platform = hidhost::platform;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hidhost::fuzzing::ByteReader input(data, size);
  hidhost::fuzzing::LightDesktop desktop;
  FuzzedRegistry& registry = desktop.Registry();
  hidhost::fuzzing::FillMouseSettingKeys(input, registry);
  platform::Platform& light = desktop.Platform();

  const hidhost::settings::MouseSettings before = hidhost::fuzzing::ClearedSettings();
  hidhost::settings::MouseSettings record = before;
  const int result = hidhost::settings::ReadSystemMouseSettings(light, record);
  hidhost::fuzzing::CheckSystemSettingsRead(result, record, before);
  FUZZ_CHECK(registry.OpenKeyCount() == 0);

  // The configuration program may hand over any acceleration flag.
  if (input.Flag()) record.Acceleration = static_cast<std::int32_t>(input.Number());
  hidhost::fuzzing::PlainWindow procedure(light.windows);
  const platform::Hwnd window = light.windows.CreateFrameworkWindow({}, procedure);
  FUZZ_CHECK(platform::IsSet(window));
  {
    hidhost::settings::RegistryKey mouseKey(registry);
    mouseKey.Open("HKEY_CURRENT_USER\\Control Panel\\Mouse", platform::kKeyAllAccess);
    hidhost::settings::LiveSettings live(record);
    hidhost::settings::ApplySystemMouseSettings(light, window, mouseKey, live);
    // Acceleration off is sent as off, whatever the registry holds or refuses.
    using Triple = std::array<std::int32_t, 3>;
    if (record.Acceleration != 1) FUZZ_CHECK(desktop.Input().LastAcceleration() == Triple{});
    FUZZ_CHECK(registry.OpenKeyCount() == (mouseKey.IsOpen() ? 1 : 0));
  }
  FUZZ_CHECK(registry.OpenKeyCount() == 0);
  desktop.Windows().SendToHost(platform::kWmClose);
  FUZZ_CHECK(!desktop.Windows().HostAlive());
  FUZZ_CHECK(desktop.OpenObjects() == 0);
  return 0;
}
