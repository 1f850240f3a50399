// The key-combination action: the assignment's key through the usage table,
// with the modifier around it, plain key flags and a pause between events.
#include <gtest/gtest.h>

#include "ActionsWorld.h"
#include "actions/KeyCombination.h"

namespace hidhost::actions::testing {
namespace {

constexpr int kButton = 5;

class KeyCombinationTest : public ActionsWorld {
 protected:
  std::uint32_t Scan(std::uint32_t vk) { return platform.input.MapVirtualKey(vk, 0); }

  // What the action sends for key vk (its down and up with the key's flags)
  // with modifier key mod (0: none): 1 ms resolution from just before the
  // first pause to just after the last key.
  Lines Expected(std::uint32_t vk, std::uint32_t mod, std::uint32_t flags = 0) {
    Lines lines;
    if (mod != 0) lines = {KeyLine(mod, Scan(mod), 0), kRaise, kSleep1};
    lines = lines + Lines{KeyLine(vk, Scan(vk), flags)} + (mod != 0 ? Lines{} : Lines{kRaise}) +
            Lines{kSleep1, KeyLine(vk, Scan(vk), flags | 2)};
    if (mod != 0) lines = lines + Lines{kSleep1, KeyLine(mod, Scan(mod), 2)};
    return lines + Lines{kLower};
  }

  Lines Send(std::uint8_t modifier, std::uint8_t usage) {
    Assign(kButton, 5, modifier, usage);
    SendKeyCombination(platform, settings, resolution, kButton);
    return Settle();
  }

  TimerResolution resolution{platform.timers};
};

TEST_F(KeyCombinationTest, ctrlWithUsage6_sendsCtrlCWithPausesAndWindowsScanCodes) {
  EXPECT_EQ(Send(1, 6),
            (Lines{KeyLine(0x11, 0x1D, 0), kRaise, kSleep1, KeyLine(0x43, 0x2E, 0), kSleep1,
                   KeyLine(0x43, 0x2E, 2), kSleep1, KeyLine(0x11, 0x1D, 2), kLower}));
}

TEST_F(KeyCombinationTest, modifierByte_selectsCtrlShiftAltOrNothing) {
  const struct {
    int row;
    std::uint8_t modifier;
    std::uint32_t modifierKey;
  } rows[] = {{1, 0, 0}, {2, 1, 0x11}, {3, 2, 0x10}, {4, 3, 0x12},
              {5, 4, 0}, {6, 5, 0},    {7, 128, 0},  {8, 255, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    EXPECT_EQ(Send(row.modifier, 4), Expected(0x41, row.modifierKey));
  }
}

TEST_F(KeyCombinationTest, usage_sendsTheTablesKeyFoldingSidedModifiers) {
  const struct {
    int row;
    std::uint8_t usage;
    std::uint32_t vk;
    std::uint32_t flags = 0;
  } rows[] = {
      {1, 4, 0x41},    {2, 70, 0x2C},   {3, 88, 0x0D, 1}, {4, 79, 0x27},   {5, 80, 0x25},
      {6, 94, 0x66},   {7, 95, 0x67},   {8, 224, 0x11},   {9, 225, 0x10},  {10, 226, 0x12},
      {11, 227, 0x5B}, {12, 228, 0x11}, {13, 229, 0x10},  {14, 230, 0x12}, {15, 231, 0x5C},
      {16, 240, 0xF0}, {17, 241, 0xF1}, {18, 242, 0xF2},  {19, 243, 0xF3}, {20, 244, 0xF4},
      {21, 101, 0x5D}, {22, 76, 0x2E},  {23, 84, 0x6F},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    EXPECT_EQ(Send(0, row.usage), Expected(row.vk, 0, row.flags));
  }
}

// The keypad's Enter is Enter with the extended flag on both of its events;
// the modifier around it keeps plain flags.
TEST_F(KeyCombinationTest, keypadEnterWithCtrl_extendsTheKeyAlone) {
  EXPECT_EQ(Send(1, 88),
            (Lines{KeyLine(0x11, 0x1D, 0), kRaise, kSleep1, KeyLine(0x0D, 0x1C, 1), kSleep1,
                   KeyLine(0x0D, 0x1C, 3), kSleep1, KeyLine(0x11, 0x1D, 2), kLower}));
}

TEST_F(KeyCombinationTest, arrowKey_sendsNoExtendedFlag) {
  EXPECT_EQ(Send(0, 79),
            (Lines{KeyLine(0x27, 0x4D, 0), kRaise, kSleep1, KeyLine(0x27, 0x4D, 2), kLower}));
}

TEST_F(KeyCombinationTest, leftShiftWithShiftModifier_sendsGenericShiftFourTimes) {
  EXPECT_EQ(Send(2, 225),
            (Lines{KeyLine(0x10, 0x2A, 0), kRaise, kSleep1, KeyLine(0x10, 0x2A, 0), kSleep1,
                   KeyLine(0x10, 0x2A, 2), kSleep1, KeyLine(0x10, 0x2A, 2), kLower}));
}

TEST_F(KeyCombinationTest, usageWithoutARow_sendsNothingEvenWithAModifier) {
  const std::uint8_t usages[] = {0, 1, 2, 3, 50, 100, 102, 150, 223, 232, 239, 245, 255};
  for (std::size_t row = 0; row < std::size(usages); ++row) {
    SCOPED_TRACE(::testing::Message() << "row " << row + 1 << ", usage " << int{usages[row]});
    EXPECT_EQ(Send(0, usages[row]), Lines{});
    EXPECT_EQ(Send(1, usages[row]), Lines{});
  }
}

TEST_F(KeyCombinationTest, indexOutsideTheButtons_sendsNothing) {
  for (int index = 0; index < settings::kButtonCount; ++index) Assign(index, 5, 1, 4);
  for (std::int32_t index : {-1, 7, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(index);
    SendKeyCombination(platform, settings, resolution, index);
    EXPECT_EQ(Settle(), Lines{});
  }
}

TEST_F(KeyCombinationTest, eachButton_usesItsOwnAssignment) {
  Assign(2, 5, 0, 5);  // b
  Assign(3, 5, 0, 6);  // c
  SendKeyCombination(platform, settings, resolution, 3);
  EXPECT_EQ(Settle(), Expected(0x43, 0));
}

}  // namespace
}  // namespace hidhost::actions::testing
