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

#include "ByteReader.h"
#include "FuzzCheck.h"
#include "FuzzedRegistry.h"
#include "platform/Constants.h"
#include "platform/sim/SimDesktop.h"
#include "settings/LiveSettings.h"
#include "settings/RegistryKey.h"
#include "settings/SystemMouseSettings.h"

namespace {

using hidhost::fuzzing::FuzzedRegistry;
using hidhost::settings::MouseSettings;
namespace platform = hidhost::platform;

constexpr std::string_view kMouseKey = "Control Panel\\Mouse";
constexpr std::string_view kDesktopKey = "Control Panel\\Desktop";
constexpr std::size_t kLongestValue = 400;  // beyond every buffer the host reads into

constexpr std::array<std::string_view, 6> kMouseValues = {"DoubleClickSpeed", "SwapMouseButtons",
                                                          "MouseSensitivity", "MouseSpeed",
                                                          "MouseThreshold1",  "MouseThreshold2"};

void FillKey(hidhost::fuzzing::ByteReader& input, FuzzedRegistry::KeyState& key,
             std::span<const std::string_view> names) {
  key.exists = input.Flag();
  key.canOpen = input.Flag();
  key.canCreate = input.Flag();
  key.canWrite = input.Flag();
  for (std::string_view name : names) {
    if (!input.Flag()) continue;
    FuzzedRegistry::Value& value = key.values[std::string(name)];
    value.type = input.Number();
    value.data = input.String(kLongestValue);
  }
}

// A window for the WM_WININICHANGE notices, answering with default processing.
class PlainWindow final : public platform::WindowProcedure {
 public:
  explicit PlainWindow(platform::Windows& windows) : windows_(windows) {}
  platform::LResult OnMessage(platform::Hwnd hwnd, std::uint32_t message, platform::WParam wParam,
                              platform::LParam lParam) override {
    return windows_.DefWindowProc(hwnd, message, wParam, lParam);
  }

 private:
  platform::Windows& windows_;
};

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
  FillKey(input, registry.Key(kMouseKey), kMouseValues);
  const std::array<std::string_view, 1> wheel = {"WheelScrollLines"};
  FillKey(input, registry.Key(kDesktopKey), wheel);

  hidhost::sim::SimDesktop desktop;
  hidhost::sim::SimProcess& process = desktop.StartProcess();
  platform::Platform& sim = process.Platform();
  platform::Platform fuzzed{sim.input,   sim.windows, sim.timers, registry,
                            sim.profile, sim.kernel,  sim.shell,  sim.driver};

  MouseSettings before{};
  hidhost::settings::ClearSettings(before);
  MouseSettings record = before;
  const int result = hidhost::settings::ReadSystemMouseSettings(fuzzed, record);
  FUZZ_CHECK(result == 1 || result == 0 || result == -1);
  FUZZ_CHECK(registry.OpenKeyCount() == 0);
  if (result == 0) {
    FUZZ_CHECK(record == before);
  } else {
    FUZZ_CHECK(record.Acceleration == (record.SpeedPreset != 0 ? 1 : 0));
    FUZZ_CHECK(record.SpeedPreset == before.SpeedPreset ||
               (record.SpeedPreset >= 0 && record.SpeedPreset < 20));
  }
  if (result == -1) {
    FUZZ_CHECK(record.WheelScrollLines == before.WheelScrollLines &&
               record.WheelPageScroll == before.WheelPageScroll);
  }
  if (result == 1) FUZZ_CHECK(record.WheelPageScroll == 0 || record.WheelPageScroll == 1);

  // The configuration program may hand over any acceleration flag.
  if (input.Flag()) record.Acceleration = static_cast<std::int32_t>(input.Number());
  PlainWindow procedure(sim.windows);
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
