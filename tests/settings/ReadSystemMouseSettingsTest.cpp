#include <array>
#include <optional>

#include "SettingsWorld.h"
#include "settings/SystemMouseSettings.h"

namespace hidhost::settings::testing {
namespace {

struct PresetRow {
  std::int32_t speed, threshold1, threshold2;
  int expected;  // -1: no row matches
};

constexpr std::array<PresetRow, 10> kPresetRows = {{
    {1, 6, 10, -1},  // 1: every speed-1 row bounds threshold 2 by 0
    {0, 0, 0, 0},    // 2
    {1, 4, 0, 10},   // 3: rows 1..10 match, the last wins
    {1, 10, 0, 4},   // 4
    {2, 4, 10, 14},  // 5
    {1, 14, 0, -1},  // 6: above every threshold-1 bound
    {1, 13, 0, 1},   // 7
    {2, 4, 5, 19},   // 8
    {2, 5, 5, -1},   // 9
    {0, -3, -3, 0},  // 10: signed comparison
}};

TEST(SpeedPresetTable, Classify_vectors) {
  for (std::size_t i = 0; i < kPresetRows.size(); ++i) {
    const auto& row = kPresetRows[i];
    EXPECT_EQ(ClassifySpeedPreset(row.speed, row.threshold1, row.threshold2), row.expected)
        << "row " << i + 1;
  }
}

// Registry contents (nullptr: value absent) and the fields read from them,
// starting from the initial fill.
struct ReadRow {
  const char* doubleClick;
  const char* swap;
  const char* sensitivity;
  const char* speed;
  const char* threshold1;
  const char* threshold2;
  const char* wheelLines;
  std::int32_t expectDoubleClick, expectSwap, expectSensitivity;
  std::int32_t expectPreset, expectAcceleration;
  std::int32_t expectWheelLines, expectPageScroll;
};

constexpr std::array<ReadRow, 10> kReadRows = {{
    // 1: everything present
    {"400", "1", "15", "1", "10", "0", "5", 400, 1, 15, 4, 1, 5, 0},
    // 2: nothing present: the record's defaults, acceleration numbers 0
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 500, 0, 11, 0, 0, 3, 0},
    // 3: page scrolling
    {"500", "0", "10", "0", "0", "0", "-1", 500, 0, 10, 0, 0, 0, 1},
    // 4: no preset matches: SpeedPreset keeps -1, which means acceleration on
    {"500", "0", "10", "1", "6", "10", "3", 500, 0, 10, -1, 1, 3, 0},
    // 5
    {"500", "0", "10", "1", "14", "0", "3", 500, 0, 10, -1, 1, 3, 0},
    // 6
    {"500", "0", "10", "2", "4", "10", "3", 500, 0, 10, 14, 1, 3, 0},
    // 7
    {"500", "0", "10", "1", "4", "0", "3", 500, 0, 10, 10, 1, 3, 0},
    // 8: thresholds absent count as 0
    {"500", "0", "10", "1", nullptr, nullptr, "3", 500, 0, 10, 10, 1, 3, 0},
    // 9: numbers as atoi reads them; an empty value is read and gives 0
    {"  +250ms", "", "-4x", " 0", "0", "0", "12 lines", 250, 0, -4, 0, 0, 12, 0},
    // 10: the wheel value alone absent
    {"500", "0", "10", "0", "0", "0", nullptr, 500, 0, 10, 0, 0, 3, 0},
}};

using ReadSystemMouseSettingsTest = SettingsWorld;

TEST_F(ReadSystemMouseSettingsTest, Values_fillSystemFields) {
  for (std::size_t i = 0; i < kReadRows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    const auto& row = kReadRows[i];
    sim::SimDesktop world;
    platform::Platform& host = world.StartProcess().Platform();
    const auto set = [&](const char* key, const char* name, const char* value) {
      if (value != nullptr) world.SetRegistryString(key, name, value);
    };
    set(kMouseKey, "DoubleClickSpeed", row.doubleClick);
    set(kMouseKey, "SwapMouseButtons", row.swap);
    set(kMouseKey, "MouseSensitivity", row.sensitivity);
    set(kMouseKey, "MouseSpeed", row.speed);
    set(kMouseKey, "MouseThreshold1", row.threshold1);
    set(kMouseKey, "MouseThreshold2", row.threshold2);
    set(kDesktopKey, "WheelScrollLines", row.wheelLines);

    MouseSettings record = ClearedRecord();
    EXPECT_EQ(ReadSystemMouseSettings(host, record), 1);
    EXPECT_EQ(record.DoubleClickSpeed, row.expectDoubleClick);
    EXPECT_EQ(record.SwapMouseButtons, row.expectSwap);
    EXPECT_EQ(record.MouseSensitivity, row.expectSensitivity);
    EXPECT_EQ(record.SpeedPreset, row.expectPreset);
    EXPECT_EQ(record.Acceleration, row.expectAcceleration);
    EXPECT_EQ(record.WheelScrollLines, row.expectWheelLines);
    EXPECT_EQ(record.WheelPageScroll, row.expectPageScroll);
    // Only the seven system fields are touched.
    MouseSettings others = record;
    const MouseSettings cleared = ClearedRecord();
    others.SwapMouseButtons = cleared.SwapMouseButtons;
    others.DoubleClickSpeed = cleared.DoubleClickSpeed;
    others.WheelScrollLines = cleared.WheelScrollLines;
    others.WheelPageScroll = cleared.WheelPageScroll;
    others.MouseSensitivity = cleared.MouseSensitivity;
    others.SpeedPreset = cleared.SpeedPreset;
    others.Acceleration = cleared.Acceleration;
    EXPECT_EQ(others, cleared);
  }
}

TEST_F(ReadSystemMouseSettingsTest, UnmatchedPreset_keepsEarlierValue) {
  SetMouseValue("MouseSpeed", "1");
  SetMouseValue("MouseThreshold1", "6");
  SetMouseValue("MouseThreshold2", "10");
  MouseSettings record = ClearedRecord();
  record.SpeedPreset = 0;
  EXPECT_EQ(ReadSystemMouseSettings(platform, record), 1);
  EXPECT_EQ(record.SpeedPreset, 0);
  EXPECT_EQ(record.Acceleration, 0);
}

TEST_F(ReadSystemMouseSettingsTest, EmptyRegistry_createsBothKeysInOrder) {
  MouseSettings record = ClearedRecord();
  Trace();
  EXPECT_EQ(ReadSystemMouseSettings(platform, record), 1);
  EXPECT_EQ(Trace(), (std::vector<std::string>{
                         R"(RegCreateKeyA key="HKEY_CURRENT_USER\Control Panel\Mouse")",
                         R"(RegCreateKeyA key="HKEY_CURRENT_USER\Control Panel\Desktop")",
                     }));
}

TEST_F(ReadSystemMouseSettingsTest, MouseKeyLocked_returnsZeroAndLeavesRecord) {
  desktop.LockRegistryKey(kMouseKey);
  desktop.SetRegistryString(kDesktopKey, "WheelScrollLines", "5");
  MouseSettings record = ClearedRecord();
  EXPECT_EQ(ReadSystemMouseSettings(platform, record), 0);
  EXPECT_EQ(record, ClearedRecord());
}

TEST_F(ReadSystemMouseSettingsTest, DesktopKeyLocked_returnsMinusOneAndKeepsWheelFields) {
  desktop.LockRegistryKey(kDesktopKey);
  SetMouseValue("DoubleClickSpeed", "700");
  MouseSettings record = ClearedRecord();
  EXPECT_EQ(ReadSystemMouseSettings(platform, record), -1);
  EXPECT_EQ(record.DoubleClickSpeed, 700);
  EXPECT_EQ(record.WheelScrollLines, -1);
  EXPECT_EQ(record.WheelPageScroll, -1);
}

// Values the 160-byte read cannot take whole, or that are not text: the read
// stays inside its buffer and ends the text there.
struct OddValueRow {
  std::uint32_t type;
  std::string data;
  std::int32_t expected;  // MouseSensitivity
};

const std::array<OddValueRow, 6> kOddValueRows = {{
    {1, std::string(158, '1') + '\0', 2147483647},  // 1: fits with its zero; saturates
    {3, std::string(159, '2'), 2147483647},         // 2: binary, fills the buffer, no zero
    {3, std::string(160, '2'), 11},                 // 3: one byte too long: default
    {1, "13" + std::string(400, ' ') + '\0', 11},   // 4: too long: default
    {4, std::string("\x0E\0\0\0", 4), 0},           // 5: a DWORD is read as its bytes
    {3, std::string("17", 2), 17},                  // 6: unterminated but short
}};

TEST(ReadSystemMouseSettingsOddValues, ReadBoundedAndTerminated) {
  for (std::size_t i = 0; i < kOddValueRows.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i + 1));
    sim::SimDesktop world;
    platform::Platform& host = world.StartProcess().Platform();
    const auto& row = kOddValueRows[i];
    world.SetRegistryValue(kMouseKey, "MouseSensitivity", row.type, row.data);
    world.SetRegistryString(kMouseKey, "MouseSpeed", "1");
    MouseSettings record = ClearedRecord();
    EXPECT_EQ(ReadSystemMouseSettings(host, record), 1);
    EXPECT_EQ(record.MouseSensitivity, row.expected);
    EXPECT_EQ(record.SpeedPreset, 10);  // the next read is not disturbed
  }
}

TEST_F(ReadSystemMouseSettingsTest, UnreadableValue_givesItsDefaultNotItsNeighbours) {
  SetMouseValue("DoubleClickSpeed", "650");
  SetMouseValue("SwapMouseButtons", "1");
  SetMouseValue("MouseSensitivity", "17");
  SetMouseValue("MouseSpeed", "2");
  SetMouseValue("MouseThreshold1", "4");
  SetMouseValue("MouseThreshold2", "10");
  desktop.FailCall("RegQueryValueExA", 1);  // DoubleClickSpeed, the first read
  MouseSettings record = ClearedRecord();
  EXPECT_EQ(ReadSystemMouseSettings(platform, record), 1);
  EXPECT_EQ(record.DoubleClickSpeed, 500);
  EXPECT_EQ(record.SwapMouseButtons, 1);
  EXPECT_EQ(record.MouseSensitivity, 17);
  EXPECT_EQ(record.SpeedPreset, 14);
}

TEST_F(ReadSystemMouseSettingsTest, UnreadableAccelerationValue_countsAsZero) {
  SetMouseValue("MouseSpeed", "1");
  SetMouseValue("MouseThreshold1", "4");
  SetMouseValue("MouseThreshold2", ("10" + std::string(300, ' ')).c_str());  // does not fit
  MouseSettings record = ClearedRecord();
  ASSERT_EQ(ReadSystemMouseSettings(platform, record), 1);
  EXPECT_EQ(record.SpeedPreset, 10);  // 1, 4, 0
  EXPECT_EQ(record.Acceleration, 1);
}

}  // namespace
}  // namespace hidhost::settings::testing
