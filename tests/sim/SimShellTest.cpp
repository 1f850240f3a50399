// The tray menu's choice and the shell object's life.
#include <gtest/gtest.h>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

using platform::Menu;

TEST(SimShell, TheChosenItemReachesTheOwnerAfterTheMenuCloses) {
  SimFixture sim;
  RecordingProcedure procedure(sim.platform.windows);
  const platform::Hwnd owner = sim.CreateWindow(procedure);
  auto& shell = sim.platform.shell;
  struct Row {
    std::uint32_t choice;
    std::uint32_t chosen;
  };
  const Row rows[] = {{6002, 6002}, {0, 0}, {6003, 0} /* not an item */};
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    procedure.received.clear();
    sim.desktop.ChooseMenuItem(rows[i].choice);
    const Menu menu = shell.CreatePopupMenu();
    shell.AppendMenu(menu, platform::kMfString, 6001, "Setting Option");
    shell.SetMenuDefaultItem(menu, 6001, false);
    shell.AppendMenu(menu, platform::kMfSeparator, 0, nullptr);
    shell.AppendMenu(menu, platform::kMfString, 6002, "Exit");
    EXPECT_TRUE(shell.TrackPopupMenu(menu, 0, 10, 20, owner)) << "row " << i + 1;
    EXPECT_TRUE(shell.DestroyMenu(menu));
    sim.process.PumpMessages();
    if (rows[i].chosen == 0) {
      EXPECT_TRUE(procedure.received.empty()) << "row " << i + 1;
    } else {
      ASSERT_EQ(procedure.received.size(), 1u) << "row " << i + 1;
      EXPECT_EQ(procedure.received[0].message, platform::kWmCommand);
      EXPECT_EQ(procedure.received[0].wParam, rows[i].chosen);
    }
    const auto trace = sim.desktop.TakeTrace();
    EXPECT_EQ(trace.back(), "TrackPopupMenu x=10 y=20 chosen=" + std::to_string(rows[i].chosen))
        << "row " << i + 1;
  }
  EXPECT_EQ(sim.process.OpenObjectCount(), 0);
}

TEST(SimShell, AReleasedShellObjectDoesNothing) {
  SimFixture sim;
  auto& shell = sim.platform.shell;
  ASSERT_TRUE(shell.CoInitialize());
  const auto dispatch = shell.CreateShellDispatch();
  shell.Release(dispatch);
  shell.ShellFindFiles(dispatch);
  shell.ShellFileRun(dispatch);
  EXPECT_TRUE(sim.desktop.TakeTrace().empty());
}

}  // namespace
}  // namespace hidhost::sim::testing
