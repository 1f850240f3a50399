// Every action code in its three forms, on a button that is no code's native
// button, with the buttons unswapped and swapped.
#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "ActionsWorld.h"
#include "actions/ActionCatalogue.h"

namespace hidhost::actions::testing {
namespace {

constexpr int kButton = 5;  // native for no code
constexpr std::uintptr_t kPane = 0x20;

struct CatalogueRow {
  int row;
  std::uint8_t code;
  bool followsSwap;  // primary clicks: expected lines hold for unswapped buttons only
  Lines press;
  Lines release;
  Lines singleShot;
  std::optional<HeldFunction> flag;
  std::optional<std::uintptr_t> timer;
};

std::string MouseAtCursor(unsigned flags) {
  return MouseLine(flags, 400, 300, 0);
}

// Ctrl+C from the assignment's own modifier and key bytes (set up by the fixture).
Lines KeyCombinationCtrlC() {
  return {KeyLine(0x11, 0x1D, 0),
          kRaise,
          kSleep1,
          KeyLine(0x43, 0x2E, 0),
          kSleep1,
          KeyLine(0x43, 0x2E, 2),
          kSleep1,
          KeyLine(0x11, 0x1D, 2),
          kLower};
}

std::vector<CatalogueRow> Rows(std::uintptr_t host) {
  using HF = HeldFunction;
  const Lines none;
  const Lines find = {PostLine(host, kShellRequestMessage, 69, 0), "IShellDispatch::FindFiles"};
  const Lines run = {PostLine(host, kShellRequestMessage, 84, 0), "IShellDispatch::FileRun"};
  const Lines myComputer = {"ShellExecuteExA mask=0x4 idlist=CSIDL_DRIVES show=1"};
  return {
      {1, 1, false, {MouseAtCursor(0x2)}, {MouseAtCursor(0x4)}, LeftClick(), HF::LeftButton, {}},
      {2,
       2,
       false,
       {MouseLine(0x8, 0, 0, 0)},
       {MouseLine(0x10, 0, 0, 0)},
       RightClick(),
       HF::RightButton,
       {}},
      {3,
       3,
       false,
       {MouseAtCursor(0x20)},
       {MouseAtCursor(0x40)},
       MiddleClick(),
       HF::MiddleButton,
       {}},
      {4, 4, true, LeftClick() + LeftClick(), none, LeftClick() + LeftClick(), {}, {}},
      {5, 5, false, none, KeyCombinationCtrlC(), KeyCombinationCtrlC(), {}, {}},
      {6,
       11,
       false,
       {MouseLine(0x80, 0, 0, 2)},
       {MouseLine(0x100, 0, 0, 2)},
       X2Click(),
       HF::XButton2,
       {}},
      {7,
       12,
       false,
       {MouseLine(0x80, 0, 0, 1)},
       {MouseLine(0x100, 0, 0, 1)},
       X1Click(),
       HF::XButton1,
       {}},
      {8, 15, false, none, {MouseLine(0x8800, 0, 0, 120)}, {MouseLine(0x8800, 0, 0, 120)}, {}, {}},
      {9,
       16,
       false,
       none,
       {MouseLine(0x8800, 0, 0, -120)},
       {MouseLine(0x8800, 0, 0, -120)},
       {},
       {}},
      {10, 21, false, Tap(0x57), none, none, HF::WKey, {}},
      {11, 22, false, Tap(0x53), none, none, HF::SKey, {}},
      {12,
       23,
       true,
       LeftClick() + Lines{kRaise, SetTimerLine(200, 100)},
       {KillTimerLine(200), kLower},
       none,
       {},
       200},
      {13,
       24,
       false,
       {kRaise, SetTimerLine(202, 100)},
       {KillTimerLine(202), kLower},
       none,
       {},
       202},
      {14, 25, false, Tap(0x2C), none, Tap(0x2C), {}, {}},
      {15, 32, false, none, Tap(0xB3), Tap(0xB3), {}, {}},
      {16, 33, false, none, Tap(0xB2), Tap(0xB2), {}, {}},
      {17, 34, false, none, Tap(0xB1), Tap(0xB1), {}, {}},
      {18, 35, false, none, Tap(0xB0), Tap(0xB0), {}, {}},
      {19, 36, false, none, Tap(0xB3), Tap(0xB3), {}, {}},
      {20, 37, false, Tap(0xAF), none, Tap(0xAF), HF::VolumeUp, {}},
      {21, 38, false, Tap(0xAE), none, Tap(0xAE), HF::VolumeDown, {}},
      {22, 39, false, none, Tap(0xAD), Tap(0xAD), {}, {}},
      {23, 48, false, none, Wheel(120), Wheel(120), {}, {}},
      {24, 49, false, none, Wheel(-120), Wheel(-120), {}, {}},
      {25, 64, false, none, Ctrl('X'), Ctrl('X'), {}, {}},
      {26, 65, false, Ctrl('C'), none, Ctrl('C'), {}, {}},
      {27, 66, false, Ctrl('V'), none, Ctrl('V'), {}, {}},
      {28, 67, false, none, Ctrl('Z'), Ctrl('Z'), {}, {}},
      {29, 68, false, none, Ctrl('A'), Ctrl('A'), {}, {}},
      {30, 69, false, none, find, find, {}, {}},
      {31, 70, false, none, Ctrl('N'), Ctrl('N'), {}, {}},
      {32, 71, false, none, Ctrl('P'), Ctrl('P'), {}, {}},
      {33, 72, false, none, Ctrl('S'), Ctrl('S'), {}, {}},
      {34,
       80,
       false,
       {Down(0xA4), Down(0x09), Up(0x09), SetTimerLine(100, 500)},
       {Up(0xA4), KillTimerLine(100)},
       Chord(0xA4, 0x09),
       {},
       100},
      {35, 81, false, none, Chord(0xA4, 0x73), Chord(0xA4, 0x73), {}, {}},
      {36, 83, false, none, myComputer, myComputer, {}, {}},
      {37, 84, false, none, run, run, {}, {}},
      {38, 85, false, none, Chord(0x5B, 0x44), Chord(0x5B, 0x44), {}, {}},
  };
}

class ActionCatalogueTest : public ActionsWorld {
 protected:
  ActionCatalogueTest() {
    // Something to scroll that has no scroll bar: codes 15 and 16 end in a wheel notch.
    desktop.AddWindow({kPane, "Pane", 0, {0, 0, 800, 600}, 0, ""});
    platform.shell.CoInitialize();
    shell = platform.shell.CreateShellDispatch();
    procedure.SetShell(shell);
    desktop.TakeTrace();
  }
  ~ActionCatalogueTest() override {
    platform.shell.Release(shell);
    platform.shell.CoUninitialize();
  }

  bool AnyFlagHeld() const {
    for (std::size_t f = 0; f < static_cast<std::size_t>(HeldFunction::Count); ++f) {
      if (flags.IsHeld(static_cast<HeldFunction>(f))) return true;
    }
    return false;
  }

  void CheckRow(const CatalogueRow& row) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row << ", code " << int{row.code});
    Assign(kButton, row.code, 1, 6);

    EXPECT_EQ(Press(kButton), row.press);
    if (row.flag) {
      EXPECT_TRUE(flags.IsHeld(*row.flag));
    } else {
      EXPECT_FALSE(AnyFlagHeld());
    }
    EXPECT_TRUE(!row.timer || TimerRuns(*row.timer));

    EXPECT_EQ(Release(kButton), row.release);
    EXPECT_FALSE(AnyFlagHeld());
    EXPECT_FALSE(row.timer && TimerRuns(*row.timer));

    EXPECT_EQ(SingleShot(kButton), row.singleShot);
    EXPECT_FALSE(AnyFlagHeld());
    EXPECT_FALSE(row.timer && TimerRuns(*row.timer));
  }

  platform::ComObject shell = platform::ComObject::None;
};

TEST_F(ActionCatalogueTest, everyCode_unswappedButtons_sendsItsEventsInEachForm) {
  ASSERT_TRUE(platform::IsSet(shell));
  for (const CatalogueRow& row : Rows(HostValue())) CheckRow(row);
}

TEST_F(ActionCatalogueTest, codesNotFollowingTheSwap_swappedButtons_sendTheSameEvents) {
  SetSwap(true);
  for (const CatalogueRow& row : Rows(HostValue())) {
    if (!row.followsSwap) CheckRow(row);
  }
}

TEST_F(ActionCatalogueTest, primaryClickCodes_swappedButtons_clickTheRightButton) {
  SetSwap(true);
  const std::vector<CatalogueRow> rows = {
      {1, 4, true, RightClick() + RightClick(), {}, RightClick() + RightClick(), {}, {}},
      {2,
       23,
       true,
       RightClick() + Lines{kRaise, SetTimerLine(200, 100)},
       {KillTimerLine(200), kLower},
       {},
       {},
       200},
  };
  for (const CatalogueRow& row : rows) CheckRow(row);
}

// The codes the configuration program can assign that do something.
const std::set<int> kActiveCodes = {1,  2,  3,  4,  5,  11, 12, 15, 16, 21, 22, 23, 24,
                                    25, 32, 33, 34, 35, 36, 37, 38, 39, 48, 49, 64, 65,
                                    66, 67, 68, 69, 70, 71, 72, 80, 81, 83, 84, 85};

TEST(ActionCatalogue, rows_coverExactlyTheActiveCodes) {
  std::set<int> codes;
  for (const ActionRow& row : ActionCatalogue()) codes.insert(row.code);
  EXPECT_EQ(codes, kActiveCodes);
}

TEST_F(ActionCatalogueTest, everyOtherCode_anyForm_sendsNothingAndHoldsNothing) {
  for (int code = 0; code < 256; ++code) {
    if (kActiveCodes.count(code) != 0) continue;
    SCOPED_TRACE(::testing::Message() << "code " << code);
    Assign(kButton, static_cast<std::uint8_t>(code));
    EXPECT_EQ(Press(kButton), Lines{});
    EXPECT_FALSE(AnyFlagHeld());
    EXPECT_EQ(Release(kButton), Lines{});
    EXPECT_EQ(SingleShot(kButton), Lines{});
  }
}

TEST_F(ActionCatalogueTest, indexOutsideTheButtons_anyForm_sendsNothing) {
  for (int index = 0; index < settings::kButtonCount; ++index) Assign(index, 65);
  const int indices[] = {-1, 7, 8, 100, INT32_MIN, INT32_MAX};
  for (std::size_t row = 0; row < std::size(indices); ++row) {
    SCOPED_TRACE(::testing::Message() << "row " << row + 1 << ", index " << indices[row]);
    EXPECT_EQ(Press(indices[row]), Lines{});
    EXPECT_EQ(Release(indices[row]), Lines{});
    EXPECT_EQ(SingleShot(indices[row]), Lines{});
  }
}

}  // namespace
}  // namespace hidhost::actions::testing
