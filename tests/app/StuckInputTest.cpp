// Nothing the host synthesized stays down: after the mouse goes away, the
// console disconnects or the host exits, whatever the host pressed is
// released once, and only that.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/CheckedHost.h"

namespace hidhost::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kLeftUp = "mouse_event flags=0x4 ";
constexpr const char* kMiddleUp = "mouse_event flags=0x40 ";
constexpr const char* kAltUp = "keybd_event vk=0xA4 scan=0x0 flags=0x3";

// Button index 1 as a left button (not its own function), index 2 as switch
// window, index 3 as a middle button, index 0 left as the native left button.
void AssignButtons(CheckedHost& host) {
  host.Desktop().AppendConfigLine("[Setting]");
  host.Desktop().AppendConfigLine("ButtonInfo1=0201000003");
  host.Desktop().AppendConfigLine("ButtonInfo2=0350000053");
  host.Desktop().AppendConfigLine("ButtonInfo3=0403000007");
}

struct StuckCase {
  int row;
  const char* what;
  std::uint32_t pressWord;
  const char* upPrefix;
  const char* heldBefore;
};

class StuckInput : public ::testing::TestWithParam<StuckCase> {};

TEST_P(StuckInput, MouseRemovedWhileHeld_ReleasedOnceAndLaterReleaseSwallowed) {
  const StuckCase& c = GetParam();
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  AssignButtons(host);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(host.Event(c.pressWord));
  EXPECT_THAT(host.Desktop().HeldInput(), ElementsAre(c.heldBefore)) << "row " << c.row;
  host.Trace();

  ASSERT_TRUE(host.Event(0x0800 | c.pressWord));  // removed, bit still set
  EXPECT_THAT(host.Desktop().HeldInput(), IsEmpty()) << "row " << c.row;
  EXPECT_EQ(CountLines(host.Trace(), c.upPrefix), 1u) << "row " << c.row << ": " << c.what;

  // The mouse comes back and the button is finally let go: no second up.
  ASSERT_TRUE(host.Event(0x0400 | c.pressWord));
  ASSERT_TRUE(host.Event(0x0000));
  EXPECT_EQ(CountLines(host.Trace(), c.upPrefix), 0u) << "row " << c.row;

  // And the next press and release work as before.
  ASSERT_TRUE(host.Event(c.pressWord));
  ASSERT_TRUE(host.Event(0x0000));
  EXPECT_EQ(CountLines(host.Trace(), c.upPrefix), 1u) << "row " << c.row;
  EXPECT_THAT(host.Desktop().HeldInput(), IsEmpty()) << "row " << c.row;
  EXPECT_EQ(host.Close(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StuckInput,
    ::testing::Values(StuckCase{1, "non-native left", 0x02, kLeftUp, "button left"},
                      StuckCase{2, "switch window's Alt", 0x04, kAltUp, "key 0xA4"},
                      StuckCase{3, "non-native middle", 0x08, kMiddleUp, "button middle"}));

TEST(StuckInputRelease, ConsoleDisconnectWhileHeld_ReleasesWhatHostPressed) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  AssignButtons(host);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(host.Event(0x06));  // left (index 1) and Alt (index 2) down
  host.Trace();
  ASSERT_TRUE(host.Send(platform::kWmWtsSessionChange, platform::kWtsConsoleDisconnect));
  const auto trace = host.Trace();
  EXPECT_EQ(CountLines(trace, kLeftUp), 1u);
  EXPECT_EQ(CountLines(trace, kAltUp), 1u);
  EXPECT_THAT(host.Desktop().HeldInput(), IsEmpty());
  EXPECT_EQ(host.Close(), 0);
}

TEST(StuckInputRelease, HostExitsWhileHeld_ReleasesBeforeChannelCloses) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  AssignButtons(host);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(host.Event(0x04));
  host.Trace();
  EXPECT_EQ(host.Close(), 0);
  const auto trace = host.Trace();
  const std::size_t up = FindLine(trace, kAltUp);
  ASSERT_NE(up, std::string::npos);
  EXPECT_LT(up, FindLine(trace, "CloseHandle name="));
  EXPECT_THAT(host.Desktop().HeldInput(), IsEmpty());
}

// What the crash handler runs: the ups of what the host holds, the mask 0 and
// the icon's removal, and nothing for what the host never pressed.
TEST(StuckInputRelease, CrashWhileHeld_LetsGoHandsTheButtonsBackAndRemovesTheIcon) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  AssignButtons(host);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(host.Event(0x07));  // native left (index 0), left (1) and Alt (2) down
  host.Trace();
  host.App().LetGoAfterCrash(host.Process().Platform());
  EXPECT_THAT(host.Trace(), ElementsAre(::testing::StartsWith(kLeftUp), kAltUp,
                                        "DeviceIoControl code=0x222420 in=00000000 out=0 ok=1",
                                        "Shell_NotifyIconA message=2 id=102"));
  EXPECT_THAT(host.Desktop().HeldInput(), IsEmpty());
}

TEST(StuckInputRelease, NativeButtonHeld_NothingSentForInputTheHostNeverPressed) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  AssignButtons(host);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(host.Event(0x01));  // index 0: the driver passes the left button itself
  host.Trace();
  ASSERT_TRUE(host.Event(0x0801));
  ASSERT_TRUE(host.Event(0x0000));
  const auto trace = host.Trace();
  EXPECT_EQ(CountLines(trace, "mouse_event"), 0u);
  EXPECT_EQ(CountLines(trace, "keybd_event"), 0u);
  EXPECT_EQ(host.Close(), 0);
}

// Index 5 as a second left button: what a removal released is owed by the
// button that was held, not by whichever sends the same input next.
TEST(StuckInputRelease, TwoButtonsOnOneOutput_EachReleaseUndoesItsOwnPress) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  AssignButtons(host);
  host.Desktop().AppendConfigLine("ButtonInfo5=0601000007");
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(host.Event(0x02));    // index 1: left down
  ASSERT_TRUE(host.Event(0x0802));  // removed while held: left up, once
  ASSERT_TRUE(host.Event(0x22));    // index 5 pressed too: left down again
  host.Trace();
  ASSERT_TRUE(host.Event(0x20));  // index 1 let go: its up was already sent
  EXPECT_EQ(CountLines(host.Trace(), kLeftUp), 0u);
  EXPECT_THAT(host.Desktop().HeldInput(), ElementsAre("button left"));
  ASSERT_TRUE(host.Event(0x00));  // index 5 let go: its own up
  EXPECT_EQ(CountLines(host.Trace(), kLeftUp), 1u);
  EXPECT_THAT(host.Desktop().HeldInput(), IsEmpty());
  EXPECT_EQ(host.Close(), 0);
}

TEST(StuckInputRelease, PressAndReleaseWithNothingInBetween_OneDownOneUpAsBefore) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  AssignButtons(host);
  ASSERT_TRUE(host.Start());
  host.Trace();
  ASSERT_TRUE(host.Event(0x02));
  ASSERT_TRUE(host.Event(0x00));
  EXPECT_EQ(host.Close(), 0);
  const auto trace = host.Trace();
  EXPECT_EQ(CountLines(trace, "mouse_event flags=0x2 "), 1u);
  EXPECT_EQ(CountLines(trace, kLeftUp), 1u);
}

}  // namespace
}  // namespace hidhost::testing
