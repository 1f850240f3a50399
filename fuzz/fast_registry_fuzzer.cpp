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

#include "ByteReader.h"
#include "FuzzCheck.h"
#include "light/FastTarget.h"
#include "light/LightDesktop.h"
#include "platform/Constants.h"
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
constexpr std::array<std::string_view, 1> kDesktopValues = {"WheelScrollLines"};

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  hidhost::fuzzing::ByteReader input(data, size);
  hidhost::fuzzing::LightDesktop desktop;
  FuzzedRegistry& registry = desktop.Registry();
  FillKey(input, registry.Key(kMouseKey), kMouseValues);
  FillKey(input, registry.Key(kDesktopKey), kDesktopValues);
  platform::Platform& light = desktop.Platform();

  MouseSettings before{};
  hidhost::settings::ClearSettings(before);
  MouseSettings record = before;
  const int result = hidhost::settings::ReadSystemMouseSettings(light, record);
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
  PlainWindow procedure(light.windows);
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
