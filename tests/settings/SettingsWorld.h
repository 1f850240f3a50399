// A fresh simulated desktop and one host process per test, with helpers to
// look at the record as the bytes the configuration program sees.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Constants.h"
#include "platform/Platform.h"
#include "platform/sim/SimDesktop.h"
#include "settings/MouseSettings.h"

namespace hidhost::settings::testing {

inline constexpr const char* kMouseKey = "Control Panel\\Mouse";
inline constexpr const char* kDesktopKey = "Control Panel\\Desktop";
inline constexpr const char* kConfigPath = "C:\\HidHost\\config.ini";

inline std::array<std::uint8_t, kMouseSettingsSize> BytesOf(const MouseSettings& record) {
  std::array<std::uint8_t, kMouseSettingsSize> bytes{};
  std::memcpy(bytes.data(), &record, bytes.size());
  return bytes;
}

inline std::int32_t WordAt(const MouseSettings& record, std::size_t offset) {
  const auto bytes = BytesOf(record);
  return static_cast<std::int32_t>(bytes[offset] | (bytes[offset + 1] << 8) |
                                   (bytes[offset + 2] << 16) |
                                   (static_cast<std::uint32_t>(bytes[offset + 3]) << 24));
}

// A record whose every byte is 0x5A, so that a field nobody wrote shows.
inline MouseSettings MarkedRecord() {
  MouseSettings record;
  std::memset(&record, 0x5A, sizeof record);
  return record;
}
inline constexpr std::int32_t kMarker = 0x5A5A5A5A;

inline MouseSettings ClearedRecord() {
  MouseSettings record = MarkedRecord();
  ClearSettings(record);
  return record;
}

inline MouseSettings DefaultRecord() {
  MouseSettings record = MarkedRecord();
  SetDefaultSettings(record);
  record.MouseColor = 0;
  return record;
}

class SettingsWorld : public ::testing::Test {
 protected:
  void SetMouseValue(const char* name, const char* value) {
    desktop.SetRegistryString(kMouseKey, name, value);
  }
  void Config(std::initializer_list<const char*> lines) {
    for (const char* line : lines) desktop.AppendConfigLine(line);
  }
  std::vector<std::string> Trace() { return desktop.TakeTrace(); }

  sim::SimDesktop desktop;
  sim::SimProcess& process = desktop.StartProcess();
  platform::Platform& platform = process.Platform();
};

}  // namespace hidhost::settings::testing
