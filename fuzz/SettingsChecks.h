// What the settings targets check, on the simulated and on the light desktop
// alike: the registry filled from the input, what ReadSystemMouseSettings may
// make of any registry, and what reading config.ini may give.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "ByteReader.h"
#include "FuzzCheck.h"
#include "FuzzedRegistry.h"
#include "platform/Platform.h"
#include "settings/ConfigFile.h"
#include "settings/MouseSettings.h"

namespace hidhost::fuzzing {

// For Control Panel\Mouse and then Control Panel\Desktop: four flags (exists,
// can be opened, can be created, can be written) and, for each value the host
// reads there, a flag (present), the type and the data.
inline void FillMouseSettingKeys(ByteReader& input, FuzzedRegistry& registry) {
  constexpr std::size_t kLongestValue = 400;  // beyond every buffer the host reads into
  constexpr std::array<std::string_view, 6> kMouseValues = {"DoubleClickSpeed", "SwapMouseButtons",
                                                            "MouseSensitivity", "MouseSpeed",
                                                            "MouseThreshold1",  "MouseThreshold2"};
  constexpr std::array<std::string_view, 1> kDesktopValues = {"WheelScrollLines"};
  const auto fill = [&](FuzzedRegistry::KeyState& key, std::span<const std::string_view> names) {
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
  };
  fill(registry.Key("Control Panel\\Mouse"), kMouseValues);
  fill(registry.Key("Control Panel\\Desktop"), kDesktopValues);
}

inline settings::MouseSettings ClearedSettings() {
  settings::MouseSettings record{};
  settings::ClearSettings(record);
  return record;
}

// ReadSystemMouseSettings gave result and turned before into record.
inline void CheckSystemSettingsRead(int result, const settings::MouseSettings& record,
                                    const settings::MouseSettings& before) {
  FUZZ_CHECK(result == 1 || result == 0 || result == -1);
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

// Reads config.ini (at path) as the host does: expectedResult the first time
// and every time after, with the same settings; when writable, writing the
// Device key changes no other setting and reads back as written.
inline void CheckConfigurationReads(platform::Platform& platform, const std::string& path,
                                    int expectedResult, bool writable) {
  const auto read = [&](int& result) {
    settings::MouseSettings record = ClearedSettings();
    result = settings::ReadConfiguration(platform, record);
    return record;
  };
  int result = -1;
  const settings::MouseSettings first = read(result);
  FUZZ_CHECK(result == expectedResult);
  int again = -1;
  FUZZ_CHECK(read(again) == first && again == result);
  if (!writable) return;
  settings::WriteDeviceFlag(platform.profile, path, 1);
  FUZZ_CHECK(platform.profile.GetPrivateProfileInt("Setting", "Device", -7, path) == 1);
  int afterWrite = -1;
  FUZZ_CHECK(read(afterWrite) == first && afterWrite == result);
}

}  // namespace hidhost::fuzzing
