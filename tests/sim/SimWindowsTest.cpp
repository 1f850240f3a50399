// The simulator's own side of windows: the scenario's window ids, the record
// of messages to other programs' windows and the trace. What the system does
// with windows is held to it by tests/conformance.
#include <gtest/gtest.h>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

using platform::Hwnd;

Hwnd H(std::uintptr_t id) {
  return static_cast<Hwnd>(id);
}

TEST(SimWindows, AWindowIdIsDeclaredOnce) {
  SimFixture sim;
  EXPECT_TRUE(sim.desktop.AddWindow({0x5, "A", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x5, "B", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x10000, "C", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x6, "D", 0x44, {}, 0, ""})) << "unknown parent";
}

TEST(SimWindows, MessagesToScenarioWindowsAreRecordedWithTheirArguments) {
  SimFixture sim;
  sim.desktop.AddWindow({0x5, "EXCEL7", 0, {}, 0, ""});
  sim.platform.windows.PostMessage(H(0x5), platform::kWmKeyUp, 0x25,
                                   static_cast<platform::LParam>(0xC14B0001u));
  EXPECT_EQ(sim.desktop.MessagesPostedTo(H(0x5)),
            (std::vector<PostedRecord>{{0x5, platform::kWmKeyUp, 0x25, 0xC14B0001u}}));
  EXPECT_EQ(
      sim.desktop.TakeTrace(),
      std::vector<std::string>{"PostMessageA hwnd=0x5 msg=0x101 wParam=0x25 lParam=0xC14B0001"});
}

TEST(SimWindows, ShowingAMinimisedWindowRestoresIt) {
  SimFixture sim;
  sim.desktop.AddWindow({0x5, "Options", 0, {}, 0x20000000, "RQ4471 Setting Option"});
  auto& windows = sim.platform.windows;
  EXPECT_TRUE(windows.IsIconic(H(0x5)));
  windows.ShowWindow(H(0x5), platform::kSwShowNormal);
  EXPECT_FALSE(windows.IsIconic(H(0x5)));
  EXPECT_TRUE(windows.SetForegroundWindow(H(0x5)));
  EXPECT_EQ(windows.SetActiveWindow(H(0x5)), H(0x5)) << "the foreground window is active";
  EXPECT_EQ(sim.desktop.ForegroundWindow(), H(0x5));
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{"ShowWindow hwnd=0x5 cmd=1", "SetForegroundWindow hwnd=0x5",
                                      "SetActiveWindow hwnd=0x5"}));
}

}  // namespace
}  // namespace hidhost::sim::testing
