// Held functions shared between buttons, the repeat timers, and what a
// release does after the assignment changed under a held button.
#include <gtest/gtest.h>

#include <climits>

#include "ActionsWorld.h"
#include "actions/RepeatTimers.h"

namespace hidhost::actions::testing {
namespace {

class RepeatTimersTest : public ActionsWorld {
 protected:
  void HoldAll() {
    for (std::size_t f = 0; f < static_cast<std::size_t>(HeldFunction::Count); ++f) {
      flags.Set(static_cast<HeldFunction>(f), true);
    }
  }
  // Starts the timer as button 4 does when it is assigned the timer's code.
  void Run(std::uintptr_t id) {
    Assign(4, id == kAutoFireTimer ? 24 : 23);
    Press(4);
  }
};

TEST_F(RepeatTimersTest, twoButtonsWithOneHeldFunction_firstReleased_flagClearsForBoth) {
  Assign(5, 21);
  Assign(6, 21);
  Press(5);
  Press(6);
  EXPECT_TRUE(flags.IsHeld(HeldFunction::WKey));
  EXPECT_EQ(Release(5), Lines{});
  EXPECT_FALSE(flags.IsHeld(HeldFunction::WKey));
  Assign(4, 24);
  Press(4);
  EXPECT_EQ(Tick(202), Lines{});
}

TEST_F(RepeatTimersTest, twoRepeatClickButtons_secondPressRestarts_firstReleaseStops) {
  Assign(5, 23);
  Assign(6, 23);
  EXPECT_EQ(Press(5), LeftClick() + (Lines{kRaise, SetTimerLine(200, 100)}));
  EXPECT_EQ(Press(6), LeftClick() + Lines{SetTimerLine(200, 100)});
  EXPECT_EQ(Release(5), (Lines{KillTimerLine(200), kLower}));
  EXPECT_FALSE(TimerRuns(200));
  EXPECT_EQ(Release(6), Lines{}) << "nothing left to stop";
}

TEST_F(RepeatTimersTest, twoAutoFireButtons_secondPressRestarts_firstReleaseStops) {
  Assign(5, 24);
  Assign(6, 24);
  EXPECT_EQ(Press(5), (Lines{kRaise, SetTimerLine(202, 100)}));
  settings.Set(settings::Field::OTGSpeed, 3);
  EXPECT_EQ(Press(6), Lines{SetTimerLine(202, 30)});
  EXPECT_TRUE(TimerRuns(202));
  Release(6);
  EXPECT_FALSE(TimerRuns(202));
}

TEST_F(RepeatTimersTest, heldButtonReassigned_release_undoesItsOwnPressThenTakesTheNewCode) {
  Assign(5, 23);
  Press(5);
  Assign(5, 64);  // Cut would act on the release
  EXPECT_EQ(Release(5), (Lines{KillTimerLine(200), kLower}));
  EXPECT_FALSE(TimerRuns(200));
  EXPECT_EQ(Press(5), Lines{});
  EXPECT_EQ(Release(5), Ctrl('X'));

  Assign(6, 21);
  Press(6);
  Assign(6, 22);
  EXPECT_EQ(Release(6), Lines{});
  EXPECT_FALSE(flags.IsHeld(HeldFunction::WKey));

  Assign(2, 1);  // a left button that the host synthesizes
  EXPECT_EQ(Press(2), Lines{MouseLine(0x2, 400, 300, 0)});
  Assign(2, 65);
  EXPECT_EQ(Release(2), Lines{MouseLine(0x4, 400, 300, 0)});
  EXPECT_FALSE(flags.IsHeld(HeldFunction::LeftButton));

  Assign(0, 1);  // the native left button: its own up passes, only the flag clears
  EXPECT_EQ(Press(0), Lines{});
  Assign(0, 66);
  EXPECT_EQ(Release(0), Lines{});
  EXPECT_FALSE(flags.IsHeld(HeldFunction::LeftButton));
}

TEST_F(RepeatTimersTest, releaseWithNoPressBeforeIt_doesNothing) {
  Assign(5, 23);
  EXPECT_EQ(Release(5), Lines{});
  Assign(5, 1);
  EXPECT_EQ(Release(5), Lines{});
}

TEST_F(RepeatTimersTest, autoFireTick_everyFlagHeld_replaysInFlagOrder) {
  Run(kAutoFireTimer);
  HoldAll();
  const Lines expected = LeftClick() + RightClick() + MiddleClick() + X1Click() + X2Click() +
                         Tap(0x57) + Tap(0x53) + Tap(0xAF) + Tap(0xAE);
  EXPECT_EQ(Tick(202), expected);
}

TEST_F(RepeatTimersTest, autoFireTick_eachFlagAlone_replaysOnlyIt) {
  const struct {
    int row;
    HeldFunction flag;
    Lines replay;
  } rows[] = {
      {1, HeldFunction::LeftButton, LeftClick()},
      {2, HeldFunction::RightButton, RightClick()},
      {3, HeldFunction::MiddleButton, MiddleClick()},
      {4, HeldFunction::XButton1, X1Click()},
      {5, HeldFunction::XButton2, X2Click()},
      {6, HeldFunction::WKey, Tap(0x57)},
      {7, HeldFunction::SKey, Tap(0x53)},
      {8, HeldFunction::VolumeUp, Tap(0xAF)},
      {9, HeldFunction::VolumeDown, Tap(0xAE)},
  };
  Run(kAutoFireTimer);
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    flags.Set(row.flag, true);
    EXPECT_EQ(Tick(202), row.replay);
    flags.Set(row.flag, false);
  }
}

TEST_F(RepeatTimersTest, autoFireWithNativeLeftButtonHeld_tick_clicksLeftWhateverTheSwap) {
  Assign(0, 1);
  Assign(6, 24);
  Press(6);
  EXPECT_EQ(Tick(202), Lines{});  // auto-fire alone repeats nothing
  EXPECT_EQ(Press(0), Lines{});
  SetSwap(true);
  EXPECT_EQ(Tick(202), LeftClick());
  EXPECT_EQ(Tick(202), LeftClick());
  Release(0);
  EXPECT_EQ(Tick(202), Lines{});
}

TEST_F(RepeatTimersTest, repeatClickTick_followsTheSwapOfTheMoment) {
  Run(kRepeatClickTimer);
  EXPECT_EQ(Tick(200), LeftClick());
  SetSwap(true);
  EXPECT_EQ(Tick(200), RightClick());
}

// A stopped timer's tick may still wait in the queue when it is stopped.
TEST_F(RepeatTimersTest, otherTimerIdsOrStoppedTimers_tick_sendNothing) {
  HoldAll();
  for (std::uintptr_t id : {std::uintptr_t{0}, std::uintptr_t{100}, std::uintptr_t{201},
                            std::uintptr_t{203}, kRepeatClickTimer, kAutoFireTimer}) {
    SCOPED_TRACE(id);
    EXPECT_EQ(Tick(id), Lines{});
  }
}

TEST_F(RepeatTimersTest, autoFirePeriod_otgSpeed_tenMillisecondUnitsWithinTheSystemsRange) {
  const std::uint32_t maximum = platform.timers.MaximumTimerPeriod();
  ASSERT_GT(maximum, 2147483640u - 1);
  const struct {
    int row;
    std::int32_t speed;
    std::uint32_t period;
  } rows[] = {
      {1, 10, 100},
      {2, 1, 10},
      {3, 0, 10},
      {4, -1, 10},
      {5, INT32_MIN, 10},
      {6, 214748364, 2147483640u},
      {7, 214748365, maximum},
      {8, INT32_MAX, maximum},
  };
  Assign(5, 24);
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    settings.Set(settings::Field::OTGSpeed, row.speed);
    EXPECT_EQ(Press(5), (Lines{kRaise, SetTimerLine(202, row.period)}));
    Release(5);
  }
}

TEST(AutoFirePeriod, productAboveTheMaximum_givesTheMaximum) {
  EXPECT_EQ(AutoFirePeriod(5, 40), 40u);
  EXPECT_EQ(AutoFirePeriod(4, 40), 40u);
  EXPECT_EQ(AutoFirePeriod(3, 40), 30u);
  EXPECT_EQ(AutoFirePeriod(INT32_MAX, UINT32_MAX), UINT32_MAX);  // 64-bit product, no wrap
}

TEST_F(RepeatTimersTest, noHostWindow_timerCodes_startNoTimer) {
  ActionDispatcher detached(platform, settings, flags);
  Assign(5, 24);
  detached.OnButtonPress(5);
  detached.OnButtonRelease(5);
  EXPECT_EQ(Settle(), Lines{});
}

// The 1 ms resolution is held from the first paced need to the last, once,
// whatever ends it; a refused raise or start changes nothing else.
TEST_F(RepeatTimersTest, pacing_everyPath_raisesOnceAndLowersOnce) {
  Assign(5, 24);
  Assign(6, 5, 1, 6);  // Ctrl+C
  Assign(3, 23);
  EXPECT_EQ(Press(5), (Lines{kRaise, SetTimerLine(202, 100)}));
  Press(6);
  EXPECT_EQ(Release(6), (Lines{KeyLine(0x11, 0x1D, 0), kSleep1, KeyLine(0x43, 0x2E, 0), kSleep1,
                               KeyLine(0x43, 0x2E, 2), kSleep1, KeyLine(0x11, 0x1D, 2)}))
      << "auto-fire already holds it";
  EXPECT_EQ(Press(3), LeftClick() + Lines{SetTimerLine(200, 100)});
  EXPECT_EQ(Release(5), Lines{KillTimerLine(202)});
  EXPECT_EQ(Release(3), (Lines{KillTimerLine(200), kLower}));

  desktop.FailCall("SetTimer", 1);
  EXPECT_EQ(Press(5), (Lines{kRaise, SetTimerLine(202, 100), kLower})) << "refused start";
  EXPECT_EQ(Release(5), Lines{});

  desktop.FailCall("timeBeginPeriod", 1);
  EXPECT_EQ(Press(5), (Lines{kRaise, SetTimerLine(202, 100)})) << "refused raise";
  EXPECT_EQ(Release(5), Lines{KillTimerLine(202)}) << "no lower without a raise";
  EXPECT_EQ(process.TimerPeriodBalance(), 0);
}

// The mouse went away, the console disconnected or the host exits while
// auto-fire and the repeated click run with functions held: the timers stop,
// in that order, before what the host holds down is released; the releases
// that come later find nothing to undo, and no tick replays anything.
TEST_F(RepeatTimersTest, releaseHeldInput_whileRepeating_stopsTimersAndForgetsFlagsFirst) {
  Assign(2, 1);   // Left, not native on this index
  Assign(5, 24);  // auto-fire
  Assign(6, 23);  // repeated click
  Assign(4, 21);  // W held
  Assign(1, 37);  // volume up held
  Press(2);
  Press(4);
  Press(1);
  Press(5);
  Press(6);
  EXPECT_TRUE(TimerRuns(200) && TimerRuns(202));
  dispatcher.ReleaseHeldInput();
  EXPECT_EQ(Settle(), (Lines{KillTimerLine(200), KillTimerLine(202), kLower,
                             MouseLine(0x4, kCursor.x, kCursor.y, 0)}));
  EXPECT_FALSE(TimerRuns(200) || TimerRuns(202));
  for (std::size_t f = 0; f < static_cast<std::size_t>(HeldFunction::Count); ++f) {
    EXPECT_FALSE(flags.IsHeld(static_cast<HeldFunction>(f))) << "flag " << f;
  }
  EXPECT_EQ(Tick(200) + Tick(202), Lines{}) << "ticks already queued";
  for (int index : {1, 2, 4, 5, 6}) EXPECT_EQ(Release(index), Lines{}) << "button " << index;
  EXPECT_EQ(Settle(), Lines{});
  dispatcher.ReleaseHeldInput();
  EXPECT_EQ(Settle(), Lines{}) << "a second forced release has nothing to do";
  EXPECT_EQ(process.TimerPeriodBalance(), 0);
}

}  // namespace
}  // namespace hidhost::actions::testing
