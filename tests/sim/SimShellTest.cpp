// The notification area, the tray menu and the shell's programs.
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
  EXPECT_EQ(sim.desktop.LastMenu(),
            (std::vector<MenuItemRecord>{{0, 6001, "Setting Option", true},
                                         {platform::kMfSeparator, 0, std::nullopt, false},
                                         {0, 6002, "Exit", false}}));
  EXPECT_EQ(sim.process.OpenObjectCount(), 0);
}

TEST(SimShell, MenuItemsPrintTheirTextExceptSeparators) {
  SimFixture sim;
  auto& shell = sim.platform.shell;
  const Menu menu = shell.CreatePopupMenu();
  shell.AppendMenu(menu, platform::kMfString, 6001, "Open");
  shell.AppendMenu(menu, platform::kMfSeparator, 0, nullptr);
  shell.SetMenuDefaultItem(menu, 6001, false);
  EXPECT_EQ(
      sim.desktop.TakeTrace(),
      (std::vector<std::string>{"AppendMenuA flags=0x0 id=6001 text=\"Open\"",
                                "AppendMenuA flags=0x800 id=0", "SetMenuDefaultItem id=6001"}));
  shell.DestroyMenu(menu);
}

TEST(SimShell, TheTrayIconComesAndGoes) {
  SimFixture sim;
  RecordingProcedure procedure(sim.platform.windows);
  platform::NotifyIconData data;
  data.hwnd = sim.CreateWindow(procedure);
  data.id = 102;
  data.flags = 7;
  data.callbackMessage = 0x40C;
  data.tip = "RQ4471 Driver";
  auto& shell = sim.platform.shell;
  EXPECT_TRUE(shell.NotifyIcon(platform::kNimAdd, data));
  EXPECT_TRUE(sim.desktop.TrayIconPresent());
  EXPECT_FALSE(shell.NotifyIcon(platform::kNimAdd, data)) << "already there";
  EXPECT_TRUE(shell.NotifyIcon(platform::kNimDelete, data));
  EXPECT_FALSE(shell.NotifyIcon(platform::kNimDelete, data));
  EXPECT_FALSE(sim.desktop.TrayIconPresent());
  const auto trace = sim.desktop.TakeTrace();
  EXPECT_EQ(trace[0],
            "Shell_NotifyIconA message=0 id=102 flags=0x7 callback=0x40C tip=\"RQ4471 Driver\"");
  EXPECT_EQ(trace[2], "Shell_NotifyIconA message=2 id=102");
}

TEST(SimShell, ShellObjectNeedsComAndPrintsItsMethods) {
  SimFixture sim;
  auto& shell = sim.platform.shell;
  EXPECT_FALSE(platform::IsSet(shell.CreateShellDispatch())) << "COM not initialised";
  ASSERT_TRUE(shell.CoInitialize());
  const auto dispatch = shell.CreateShellDispatch();
  ASSERT_TRUE(platform::IsSet(dispatch));
  shell.ShellFindFiles(dispatch);
  shell.ShellFileRun(dispatch);
  shell.ShellExecute(platform::Hwnd::None, "open", "C:\\HidHost\\Option.exe", 5);
  shell.OpenSpecialFolder(platform::kCsidlDrives, 1);
  shell.Release(dispatch);
  shell.ShellFindFiles(dispatch);
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{
                "IShellDispatch::FindFiles", "IShellDispatch::FileRun",
                "ShellExecuteA verb=\"open\" file=\"C:\\HidHost\\Option.exe\" show=5",
                "ShellExecuteExA mask=0x4 idlist=CSIDL_DRIVES show=1"}));
  EXPECT_EQ(sim.desktop.LaunchedPrograms(), std::vector<std::string>{"C:\\HidHost\\Option.exe"});
}

}  // namespace
}  // namespace hidhost::sim::testing
