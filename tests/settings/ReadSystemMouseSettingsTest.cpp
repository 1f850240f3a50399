#include <array>
#include <optional>

#include "settings/SettingsWorld.h"
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

TEST_F(ReadSystemMouseSettingsTest, OverlongValue_readsBoundedOrFallsBack) {
  // The system gives a value that does not fit the 160-byte buffer either in
  // part or not at all; either way the read stays inside the buffer and yields
  // a number that the text or the default explains.
  SetMouseValue("DoubleClickSpeed", (std::string("650") + std::string(400, ' ')).c_str());
  MouseSettings record = ClearedRecord();
  EXPECT_EQ(ReadSystemMouseSettings(platform, record), 1);
  EXPECT_TRUE(record.DoubleClickSpeed == 650 || record.DoubleClickSpeed == 500)
      << record.DoubleClickSpeed;
}

}  // namespace
}  // namespace hidhost::settings::testing
