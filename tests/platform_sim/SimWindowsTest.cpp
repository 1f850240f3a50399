// The window tree: lookups by point, z-order walks, titles, the host's own
// window and the messages it gets.
#include <gtest/gtest.h>

#include <thread>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

using platform::Hwnd;

Hwnd H(std::uintptr_t id) {
  return static_cast<Hwnd>(id);
}

// Two top-level windows over each other, the first with two children.
void AddScene(SimDesktop& desktop) {
  desktop.AddWindow({0x5, "_WwG", 0, {100, 100, 900, 700}, 0, "Report"});
  desktop.AddWindow({0x6, "ScrollBar", 0x5, {100, 680, 880, 700}, 0, ""});
  desktop.AddWindow({0x7, "Pane", 0x5, {100, 100, 500, 680}, 0x00100000, ""});
  desktop.AddWindow({0x8, "Grid", 0x7, {120, 120, 200, 200}, 0, ""});
  desktop.AddWindow({0x9, "Behind", 0, {0, 0, 1000, 1000}, 0, "Behind"});
}

struct PointRow {
  platform::Point point;
  std::uintptr_t expected;
};

TEST(SimWindows, WindowFromPointTakesTheDeepestWindowInZOrder) {
  SimFixture sim;
  AddScene(sim.desktop);
  const PointRow rows[] = {
      {{150, 150}, 0x8},        // 1 through 0x5 and 0x7
      {{300, 690}, 0x6},        // 2
      {{600, 300}, 0x5},        // 3 no child there
      {{950, 950}, 0x9},        // 4 only the window behind
      {{1500, 1000}, 0x10000},  // 5 the desktop
      {{900, 300}, 0x9},        // 6 right edges are outside
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(sim.platform.windows.WindowFromPoint(rows[i].point), H(rows[i].expected))
        << "row " << i + 1;
  }
}

TEST(SimWindows, WindowFromPointPassesOverTheHiddenHostWindow) {
  SimFixture sim;
  RecordingProcedure procedure(sim.platform.windows);
  const Hwnd host = sim.CreateWindow(procedure);
  EXPECT_EQ(host, H(0x10001));
  EXPECT_EQ(sim.platform.windows.WindowFromPoint({150, 150}), H(0x10000));
}

TEST(SimWindows, ChildWindowFromPointWorksInClientCoordinates) {
  SimFixture sim;
  AddScene(sim.desktop);
  auto& windows = sim.platform.windows;
  EXPECT_EQ(windows.ChildWindowFromPoint(H(0x5), {50, 50}), H(0x7)) << "first child in z-order";
  EXPECT_EQ(windows.ChildWindowFromPoint(H(0x5), {700, 50}), H(0x5)) << "no child: itself";
  EXPECT_EQ(windows.ChildWindowFromPoint(H(0x5), {900, 50}), Hwnd::None) << "outside";
  platform::Point point{150, 150};
  ASSERT_TRUE(windows.ScreenToClient(H(0x7), point));
  EXPECT_EQ(point, (platform::Point{50, 50}));
}

TEST(SimWindows, RelativesFollowDeclarationOrder) {
  SimFixture sim;
  AddScene(sim.desktop);
  auto& windows = sim.platform.windows;
  EXPECT_EQ(windows.GetWindow(H(0x5), platform::kGwChild), H(0x6));
  EXPECT_EQ(windows.GetWindow(H(0x6), platform::kGwHwndNext), H(0x7));
  EXPECT_EQ(windows.GetWindow(H(0x7), platform::kGwHwndNext), Hwnd::None);
  EXPECT_EQ(windows.GetWindow(H(0x7), platform::kGwHwndPrev), H(0x6));
  EXPECT_EQ(windows.GetWindow(H(0x6), platform::kGwHwndPrev), Hwnd::None);
  EXPECT_EQ(windows.GetWindow(H(0x5), platform::kGwHwndNext), H(0x9));
  EXPECT_EQ(windows.GetParent(H(0x8)), H(0x7));
  EXPECT_EQ(windows.GetParent(H(0x5)), Hwnd::None) << "top-level";
  EXPECT_EQ(windows.GetWindowLong(H(0x7), platform::kGwlStyle), 0x00100000);
  platform::ClassName name;
  ASSERT_TRUE(windows.GetClassName(H(0x6), name));
  EXPECT_TRUE(name.Is("ScrollBar"));
  EXPECT_FALSE(windows.GetClassName(H(0x77), name));
  EXPECT_EQ(windows.FindWindowByTitle("Behind"), H(0x9));
  EXPECT_EQ(windows.FindWindowByTitle("Nobody"), Hwnd::None);
}

TEST(SimWindows, EnumChildWindowsVisitsDescendantsDepthFirstAndStops) {
  SimFixture sim;
  AddScene(sim.desktop);
  struct Visit {
    std::vector<std::uintptr_t> seen;
    std::size_t stopAfter;
  };
  auto callback = [](Hwnd child, void* context) {
    auto* visit = static_cast<Visit*>(context);
    visit->seen.push_back(platform::ValueOf(child));
    return visit->seen.size() < visit->stopAfter;
  };
  Visit all{{}, 99};
  EXPECT_TRUE(sim.platform.windows.EnumChildWindows(H(0x5), callback, &all));
  EXPECT_EQ(all.seen, (std::vector<std::uintptr_t>{0x6, 0x7, 0x8}));
  Visit two{{}, 2};
  sim.platform.windows.EnumChildWindows(H(0x5), callback, &two);
  EXPECT_EQ(two.seen, (std::vector<std::uintptr_t>{0x6, 0x7}));
}

TEST(SimWindows, AWindowIdIsDeclaredOnce) {
  SimFixture sim;
  EXPECT_TRUE(sim.desktop.AddWindow({0x5, "A", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x5, "B", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x10000, "C", 0, {}, 0, ""}));
  EXPECT_FALSE(sim.desktop.AddWindow({0x6, "D", 0x44, {}, 0, ""})) << "unknown parent";
}

TEST(SimWindows, ARefusedCreationDestroysTheWindowAgain) {
  SimFixture sim;
  RecordingProcedure procedure(sim.platform.windows);
  procedure.createResult = -1;
  EXPECT_EQ(sim.CreateWindow(procedure), Hwnd::None);
  EXPECT_EQ(procedure.Messages(),
            (std::vector<std::uint32_t>{platform::kWmCreate, platform::kWmDestroy,
                                        platform::kWmNcDestroy}));
  EXPECT_EQ(sim.platform.windows.FindWindowByTitle("Test"), Hwnd::None);
}

TEST(SimWindows, CloseDestroysAndPostedMessagesArriveInOrder) {
  SimFixture sim;
  RecordingProcedure procedure(sim.platform.windows);
  procedure.onMessage = [&](std::uint32_t message) {
    if (message == platform::kWmNcDestroy) sim.platform.windows.PostQuitMessage(3);
  };
  const Hwnd host = sim.CreateWindow(procedure);
  auto& windows = sim.platform.windows;
  EXPECT_TRUE(windows.PostMessage(host, platform::kWmNull, 1, 2));
  EXPECT_TRUE(sim.process.PostToWindow(host, platform::kWmClose, 0, 0));
  EXPECT_TRUE(sim.process.PumpMessages());
  EXPECT_EQ(sim.process.QuitCode(), 3);
  EXPECT_EQ(procedure.Messages(),
            (std::vector<std::uint32_t>{platform::kWmCreate, platform::kWmNull, platform::kWmClose,
                                        platform::kWmDestroy, platform::kWmNcDestroy}));
  EXPECT_FALSE(windows.PostMessage(host, platform::kWmNull, 0, 0)) << "the window is gone";
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{"PostMessageA hwnd=0x10001 msg=0x0 wParam=0x1 lParam=0x2",
                                      "PostMessageA hwnd=0x10001 msg=0x0 wParam=0x0 lParam=0x0"}));
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

TEST(SimWindows, TimersArePerWindowOfTheProcess) {
  SimFixture sim;
  RecordingProcedure procedure(sim.platform.windows);
  const Hwnd host = sim.CreateWindow(procedure);
  auto& timers = sim.platform.timers;
  EXPECT_TRUE(timers.SetTimer(host, 202, 100));
  EXPECT_TRUE(sim.process.HasTimer(host, 202));
  EXPECT_TRUE(timers.KillTimer(host, 202));
  EXPECT_FALSE(timers.KillTimer(host, 202));
  EXPECT_FALSE(sim.process.HasTimer(host, 202));
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{"SetTimer id=202 period=100", "KillTimer id=202",
                                      "KillTimer id=202"}));

  // The system takes timer calls only from the window's thread; from another
  // one the request is posted and made when the window's thread takes it.
  const auto fromAnotherThread = [](auto call) { std::thread(call).join(); };
  const std::size_t received = procedure.received.size();
  fromAnotherThread([&] { EXPECT_TRUE(timers.SetTimer(host, 200, 50)); });
  EXPECT_FALSE(sim.process.HasTimer(host, 200)) << "made on the caller's thread";
  sim.process.PumpMessages();
  EXPECT_TRUE(sim.process.HasTimer(host, 200));
  fromAnotherThread([&] { timers.KillTimer(host, 200); });
  EXPECT_TRUE(sim.process.HasTimer(host, 200));
  sim.process.PumpMessages();
  EXPECT_FALSE(sim.process.HasTimer(host, 200));
  EXPECT_EQ(procedure.received.size(), received) << "the requests reach no window procedure";
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{"SetTimer id=200 period=50", "KillTimer id=200"}));
}

}  // namespace
}  // namespace hidhost::sim::testing
