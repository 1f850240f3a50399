#include <array>

#include "SettingsWorld.h"
#include "settings/MouseSettings.h"
#include "settings/SettingsLoader.h"

namespace hidhost::settings::testing {
namespace {

struct WordAtOffset {
  std::size_t offset;
  std::int32_t value;
};

// The defaults as the configuration program reads them from the shared block.
constexpr std::array<WordAtOffset, 21> kDefaultWords = {{
    {0, 0},  {4, 500}, {8, 3},   {12, 0}, {16, 11}, {20, 10}, {24, 0},
    {28, 0}, {32, 3},  {36, 10}, {40, 1}, {44, 10}, {48, 10}, {52, 1},
    {56, 6}, {60, 12}, {64, 1},  {68, 3}, {72, 10}, {76, 1},  {80, 0},
}};

constexpr std::array<std::array<std::uint8_t, 4>, kButtonCount> kDefaultButtonBytes = {{
    {1, 1, 0, 0},
    {2, 2, 0, 0},
    {3, 3, 0, 0},
    {4, 12, 0, 0},
    {5, 11, 0, 0},
    {6, 15, 0, 0},
    {7, 16, 0, 0},
}};

TEST(MouseSettingsRecord, ClearSettings_fillsMinusOneAndZeroButtons_keepsMouseColor) {
  const MouseSettings record = ClearedRecord();
  for (std::size_t offset = 0; offset <= 80; offset += 4) {
    EXPECT_EQ(WordAt(record, offset), -1) << "offset " << offset;
  }
  EXPECT_EQ(WordAt(record, 84), kMarker);
  const auto bytes = BytesOf(record);
  for (std::size_t offset = 88; offset < kMouseSettingsSize; ++offset) {
    EXPECT_EQ(bytes[offset], 0) << "offset " << offset;
  }
}

TEST(MouseSettingsRecord, SetDefaultSettings_writesDefaultBytes_keepsMouseColor) {
  MouseSettings record = MarkedRecord();
  SetDefaultSettings(record);
  for (std::size_t row = 0; row < kDefaultWords.size(); ++row) {
    EXPECT_EQ(WordAt(record, kDefaultWords[row].offset), kDefaultWords[row].value)
        << "row " << row + 1;
  }
  EXPECT_EQ(WordAt(record, 84), kMarker);
  const auto bytes = BytesOf(record);
  for (std::size_t button = 0; button < kButtonCount; ++button) {
    for (std::size_t b = 0; b < 4; ++b) {
      EXPECT_EQ(bytes[88 + button * 4 + b], kDefaultButtonBytes[button][b])
          << "button " << button + 1 << " byte " << b;
    }
  }
}

TEST(MouseSettingsRecord, DefaultAssignment_outsideRange_isAllZero) {
  EXPECT_EQ(DefaultAssignment(-1), ButtonAssignment{});
  EXPECT_EQ(DefaultAssignment(kButtonCount), ButtonAssignment{});
  EXPECT_EQ(DefaultAssignment(6), (ButtonAssignment{7, 16, 0, 0}));
}

using LoadSettingsTest = SettingsWorld;

TEST_F(LoadSettingsTest, ConfigMissing_givesDefaultsOverRegistryAndZeroMouseColor) {
  SetMouseValue("DoubleClickSpeed", "900");
  SetMouseValue("SwapMouseButtons", "1");
  SetMouseValue("MouseSpeed", "1");
  desktop.SetRegistryString(kDesktopKey, "WheelScrollLines", "7");
  MouseSettings record = MarkedRecord();
  LoadSettings(platform, record);
  EXPECT_EQ(record, DefaultRecord());
}

TEST_F(LoadSettingsTest, ConfigRead_keepsReservedUnfilled) {
  Config({"[Setting]", "HScrollWheelSpeed=5", "MouseColor=255"});
  MouseSettings record = MarkedRecord();
  LoadSettings(platform, record);
  EXPECT_EQ(record.Reserved, -1);
  EXPECT_EQ(record.HScrollWheelSpeed, 5);
  EXPECT_EQ(record.MouseColor, 255);
  EXPECT_EQ(record.DoubleClickSpeed, 500);  // the registry had nothing
}

TEST_F(LoadSettingsTest, MouseKeyLocked_givesDefaultsEvenWithConfig) {
  desktop.LockRegistryKey(kMouseKey);
  Config({"[Setting]", "HScrollWheelSpeed=5", "MouseColor=255"});
  MouseSettings record = MarkedRecord();
  LoadSettings(platform, record);
  EXPECT_EQ(record, DefaultRecord());
}

}  // namespace
}  // namespace hidhost::settings::testing
