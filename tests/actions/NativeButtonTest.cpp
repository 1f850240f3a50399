// A button assigned its own function: the driver passes its input through,
// so the host only follows it in the held flags.
#include <gtest/gtest.h>

#include "ActionsWorld.h"

namespace hidhost::actions::testing {
namespace {

struct NativeRow {
  int row;
  int index;
  std::uint8_t code;
  HeldFunction flag;
  Lines singleShot;
};

class NativeButtonTest : public ActionsWorld {};

TEST_F(NativeButtonTest, codeOnItsOwnButton_pressAndRelease_sendNothingButFollowTheFlag) {
  const NativeRow rows[] = {
      {1, 0, 1, HeldFunction::LeftButton, LeftClick()},
      {2, 1, 2, HeldFunction::RightButton, RightClick()},
      {3, 2, 3, HeldFunction::MiddleButton, MiddleClick()},
      {4, 3, 12, HeldFunction::XButton1, X1Click()},
      {5, 4, 11, HeldFunction::XButton2, X2Click()},
  };
  for (const NativeRow& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    Assign(row.index, row.code);
    EXPECT_EQ(Press(row.index), Lines{});
    EXPECT_TRUE(flags.IsHeld(row.flag));
    EXPECT_EQ(Release(row.index), Lines{});
    EXPECT_FALSE(flags.IsHeld(row.flag));
    // A tilt has no input of its own behind it.
    EXPECT_EQ(SingleShot(row.index), row.singleShot);
  }
}

TEST_F(NativeButtonTest, buttonCodeOnAnotherOfTheFirstFiveButtons_pressAndRelease_sendItsEvents) {
  const struct {
    int row;
    int index;
    std::uint8_t code;
    Lines press;
    Lines release;
  } rows[] = {
      {1, 1, 1, {MouseLine(0x2, 400, 300, 0)}, {MouseLine(0x4, 400, 300, 0)}},
      {2, 0, 2, {MouseLine(0x8, 0, 0, 0)}, {MouseLine(0x10, 0, 0, 0)}},
      {3, 3, 3, {MouseLine(0x20, 400, 300, 0)}, {MouseLine(0x40, 400, 300, 0)}},
      {4, 4, 12, {MouseLine(0x80, 0, 0, 1)}, {MouseLine(0x100, 0, 0, 1)}},
      {5, 3, 11, {MouseLine(0x80, 0, 0, 2)}, {MouseLine(0x100, 0, 0, 2)}},
      {6, 6, 1, {MouseLine(0x2, 400, 300, 0)}, {MouseLine(0x4, 400, 300, 0)}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    Assign(row.index, row.code);
    EXPECT_EQ(Press(row.index), row.press);
    EXPECT_EQ(Release(row.index), row.release);
  }
}

TEST_F(NativeButtonTest, leftButtonCode_cursorMovesWhileHeld_eachHalfUsesTheCursorOfItsMoment) {
  Assign(6, 1);
  EXPECT_EQ(Press(6), Lines{MouseLine(0x2, 400, 300, 0)});
  desktop.SetCursor({10, 20});
  EXPECT_EQ(Release(6), Lines{MouseLine(0x4, 10, 20, 0)});
}

TEST_F(NativeButtonTest, leftButtonCode_swappedButtons_stillTheLeftButton) {
  SetSwap(true);
  desktop.SetSwapButtons(true);
  Assign(6, 1);
  EXPECT_EQ(Press(6), Lines{MouseLine(0x2, 400, 300, 0)});
  EXPECT_EQ(Release(6), Lines{MouseLine(0x4, 400, 300, 0)});
  EXPECT_EQ(SingleShot(6), LeftClick());
}

}  // namespace
}  // namespace hidhost::actions::testing
