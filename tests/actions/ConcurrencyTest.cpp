// The event thread acts while the window thread replaces the settings and
// replays held functions. Each action must see one action code, and neither
// side may race on a flag or a setting (the ThreadSanitizer build checks the
// latter).
#include <gtest/gtest.h>

#include <thread>

#include "ActionsWorld.h"

namespace hidhost::actions::testing {
namespace {

constexpr int kRounds = 500;

class ConcurrencyTest : public ActionsWorld {};

TEST_F(ConcurrencyTest, settingsReplacedDuringPresses_eachPressSendsOneWholeChord) {
  Assign(5, 65);
  std::thread window([&] {
    for (int i = 0; i < kRounds; ++i) Assign(5, i % 2 == 0 ? 66 : 65);
  });
  for (int i = 0; i < kRounds; ++i) dispatcher.OnButtonPress(5);
  window.join();

  const Lines trace = desktop.TakeTrace();
  ASSERT_EQ(trace.size(), 4u * kRounds);
  for (std::size_t at = 0; at < trace.size(); at += 4) {
    const Lines chord(trace.begin() + static_cast<std::ptrdiff_t>(at),
                      trace.begin() + static_cast<std::ptrdiff_t>(at + 4));
    ASSERT_TRUE(chord == Ctrl('C') || chord == Ctrl('V')) << "press " << at / 4;
  }
}

TEST_F(ConcurrencyTest, flagsToggledDuringTicks_onlyWholeKeyEventsOfTheHeldKey) {
  Assign(5, 21);
  std::thread window([&] {
    for (int i = 0; i < kRounds; ++i) dispatcher.OnTimer(kAutoFireTimer);
  });
  for (int i = 0; i < kRounds; ++i) {
    dispatcher.OnButtonPress(5);
    dispatcher.OnButtonRelease(5);
  }
  window.join();

  EXPECT_FALSE(flags.IsHeld(HeldFunction::WKey));
  const Lines trace = desktop.TakeTrace();
  ASSERT_GE(trace.size(), 2u * kRounds);
  int down = 0;
  int up = 0;
  for (const std::string& line : trace) {
    if (line == Down(0x57)) {
      ++down;
    } else if (line == Up(0x57)) {
      ++up;
    } else {
      ADD_FAILURE() << line;
    }
  }
  EXPECT_EQ(down, up);
}

}  // namespace
}  // namespace hidhost::actions::testing
