// Arbitrary registry value strings and types, and keys that cannot be
// opened, created or written, through ReadSystemMouseSettings and then
// ApplySystemMouseSettings with whatever record the read produced.
//
// Input (ByteReader): for Control Panel\Mouse and then Control Panel\Desktop,
// four flags (exists, can be opened, can be created, can be written) and, for
// each value the host reads there, a flag (present), the type and the data;
// then a flag and a number that replaces Acceleration before the apply step.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SettingsChecks.h"
#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"
#include "settings/LiveSettings.h"
#include "settings/RegistryKey.h"
#include "settings/SystemMouseSettings.h"

namespace {

using hidhost::fuzzing::FuzzedRegistry;
namespace platform = hidhost::platform;

bool SentAccelerationOff(const std::vector<std::string>& trace) {
  for (const std::string& line : trace) {
    if (line.rfind("SystemParametersInfoA action=4 ", 0) == 0) {
      return line.find("pvParam=[0,0,0]") != std::string::npos;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hidhost::fuzzing::ByteReader input(data, size);
  FuzzedRegistry registry;
  hidhost::fuzzing::FillMouseSettingKeys(input, registry);

  hidhost::sim::SimDesktop desktop;
  hidhost::sim::SimProcess& process = desktop.StartProcess();
  platform::Platform& sim = process.Platform();
  platform::Platform fuzzed{sim.input,   sim.windows, sim.timers, registry,
                            sim.profile, sim.kernel,  sim.shell,  sim.driver};

  const hidhost::settings::MouseSettings before = hidhost::fuzzing::ClearedSettings();
  hidhost::settings::MouseSettings record = before;
  const int result = hidhost::settings::ReadSystemMouseSettings(fuzzed, record);
  hidhost::fuzzing::CheckSystemSettingsRead(result, record, before);
  FUZZ_CHECK(registry.OpenKeyCount() == 0);

  // The configuration program may hand over any acceleration flag.
  if (input.Flag()) record.Acceleration = static_cast<std::int32_t>(input.Number());
  hidhost::fuzzing::PlainWindow procedure(sim.windows);
  platform::WindowAttributes attributes;
  attributes.title = "fuzz";
  const platform::Hwnd window = sim.windows.CreateFrameworkWindow(attributes, procedure);
  {
    hidhost::settings::RegistryKey mouseKey(registry);
    mouseKey.Open("HKEY_CURRENT_USER\\Control Panel\\Mouse", platform::kKeyAllAccess);
    hidhost::settings::LiveSettings live(record);
    desktop.TakeTrace();
    hidhost::settings::ApplySystemMouseSettings(fuzzed, window, mouseKey, live);
    // Acceleration off is sent as off, whatever the registry holds or refuses.
    if (record.Acceleration != 1) FUZZ_CHECK(SentAccelerationOff(desktop.TakeTrace()));
    FUZZ_CHECK(registry.OpenKeyCount() == (mouseKey.IsOpen() ? 1 : 0));
  }
  FUZZ_CHECK(registry.OpenKeyCount() == 0);
  if (platform::IsSet(window)) sim.windows.SendMessage(window, platform::kWmClose, 0, 0);
  FUZZ_CHECK(process.OpenObjectCount() == 0);
  return 0;
}
