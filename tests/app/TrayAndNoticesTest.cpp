// The tray icon and its menu, the configuration program's notices and the
// shared block, on the simulated desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "app/ConfigurationProgram.h"
#include "app/HostWindow.h"
#include "app/TrayIcon.h"
#include "platform/FacetBases.h"
#include "settings/MouseSettings.h"
#include "support/CheckedHost.h"

namespace hidhost::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::uintptr_t kOptionWindow = 0x5;
constexpr std::uint32_t kWsMinimize = 0x20000000u;

sim::MenuItemRecord Item(std::uint32_t flags, std::uintptr_t id, std::optional<std::string> text,
                         bool isDefault) {
  sim::MenuItemRecord item;
  item.flags = flags;
  item.id = id;
  item.text = std::move(text);
  item.isDefault = isDefault;
  return item;
}

TEST(TrayIcon, AddedWhenChannelOpensRemovedOnRemovalAndTearDown) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Start());
  EXPECT_TRUE(host.Desktop().TrayIconPresent());
  ASSERT_TRUE(host.Event(0x0800));
  EXPECT_FALSE(host.Desktop().TrayIconPresent());
  EXPECT_THAT(host.Desktop().ConfigFileText().value_or(""), ::testing::HasSubstr("Device=0"));
  ASSERT_TRUE(host.Event(0x0400));
  EXPECT_TRUE(host.Desktop().TrayIconPresent());
  EXPECT_THAT(host.Desktop().ConfigFileText().value_or(""), ::testing::HasSubstr("Device=1"));
  EXPECT_EQ(host.Close(), 0);
  EXPECT_FALSE(host.Desktop().TrayIconPresent());
}

TEST(TrayIcon, ArrivalWaitsEightSecondsBeforeTheReadySteps) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Start());
  host.Trace();
  const std::uint64_t before = host.Desktop().NowMs();
  ASSERT_TRUE(host.Event(0x0400));
  EXPECT_GE(host.Desktop().NowMs() - before, 8000u);
  const auto trace = host.Trace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace.front(), "Sleep ms=8000");
  EXPECT_NE(FindLine(trace, "Shell_NotifyIconA message=0"), std::string::npos);
  EXPECT_EQ(host.Close(), 0);
}

TEST(TrayIcon, TaskbarRecreated_IconAddedAgainOnlyWhileShown) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Start());
  const std::uint32_t taskbarCreated =
      host.Process().Platform().windows.RegisterWindowMessage("TaskbarCreated");
  ASSERT_NE(taskbarCreated, 0u);
  host.Trace();
  ASSERT_TRUE(host.Send(taskbarCreated));
  EXPECT_EQ(CountLines(host.Trace(), "Shell_NotifyIconA message=0 id=102"), 1u);

  ASSERT_TRUE(host.Event(0x0800));  // the mouse goes: no icon to restore
  host.Trace();
  ASSERT_TRUE(host.Send(taskbarCreated));
  EXPECT_EQ(CountLines(host.Trace(), "Shell_NotifyIconA"), 0u);
  EXPECT_EQ(host.Close(), 0);
}

// The simulated shell, except that an armed icon addition stops inside the
// shell call until a removal has been made, or for 200 ms when none can be.
class HoldingShell final : public platform::ForwardingShell {
 public:
  using ForwardingShell::ForwardingShell;

  void HoldNextAdd() {
    Change([&] { armed_ = true; });
  }
  void WaitUntilAddHeld() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return holding_; });
  }

  bool NotifyIcon(std::uint32_t message, const platform::NotifyIconData& data) override {
    if (message == platform::kNimDelete) {
      const bool done = inner_.NotifyIcon(message, data);
      Change([&] { removed_ = true; });
      return done;
    }
    std::unique_lock lock(mutex_);
    if (std::exchange(armed_, false)) {
      holding_ = true;
      changed_.notify_all();
      changed_.wait_for(lock, std::chrono::milliseconds(200), [&] { return removed_; });
    }
    lock.unlock();
    return inner_.NotifyIcon(message, data);
  }

 private:
  template <typename F>
  void Change(F change) {
    std::lock_guard lock(mutex_);
    change();
    changed_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  bool armed_ = false;
  bool holding_ = false;
  bool removed_ = false;
};

// The window thread restores the icon for a re-created taskbar while the
// event thread removes it for a mouse that went away: whatever the order,
// no icon may be left for the missing mouse.
TEST(TrayIconThreads, TaskbarRecreatedRacingRemoval_LeavesNoIcon) {
  sim::SimDesktop desktop;
  platform::Platform& simulated = desktop.StartProcess().Platform();
  HoldingShell shell(simulated.shell);
  platform::Platform platform{simulated.input,
                              simulated.windows,
                              simulated.timers,
                              simulated.registry,
                              simulated.profile,
                              simulated.kernel,
                              shell,
                              simulated.driver};
  ASSERT_TRUE(desktop.AddWindow({0x5, "HostLike", 0, {}, 0, ""}));
  const auto host = static_cast<platform::Hwnd>(0x5);
  app::TrayIcon icon(platform);

  // The removal arrives while the restore is inside its shell call.
  icon.Add(host);
  shell.HoldNextAdd();
  std::thread windowThread([&] { icon.Restore(host); });
  shell.WaitUntilAddHeld();
  std::thread eventThread([&] { icon.Remove(host); });
  windowThread.join();
  eventThread.join();
  EXPECT_FALSE(desktop.TrayIconPresent());
  EXPECT_FALSE(icon.Added());

  // Free-running races, for the sanitizer.
  for (int round = 0; round < 200; ++round) {
    icon.Add(host);
    std::thread restore([&] { icon.Restore(host); });
    std::thread remove([&] { icon.Remove(host); });
    restore.join();
    remove.join();
    ASSERT_FALSE(desktop.TrayIconPresent()) << "round " << round;
    ASSERT_FALSE(icon.Added()) << "round " << round;
  }
}

TEST(TrayMenu, RightPress_BuildsMenuFromStringLibraryAndRunsChosenItem) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  host.Desktop().SetCursor({10, 20});
  ASSERT_TRUE(host.Start());
  host.Trace();
  host.Desktop().ChooseMenuItem(app::kOpenSettingsCommand);
  ASSERT_TRUE(host.Send(app::kTrayCallbackMessage, app::kTrayIconId, platform::kWmRButtonDown));
  EXPECT_THAT(host.Desktop().LastMenu(),
              ElementsAre(Item(0x0, 6001, "Settings...", true), Item(0x800, 0, std::nullopt, false),
                          Item(0x0, 6002, "Exit", false)));
  const auto trace = host.Trace();
  EXPECT_NE(FindLine(trace, "TrackPopupMenu x=10 y=20 chosen=6001"), std::string::npos);
  EXPECT_THAT(host.Desktop().LaunchedPrograms(), ElementsAre("C:\\HidHost\\Option.exe"));

  host.Desktop().ChooseMenuItem(app::kExitCommand);
  EXPECT_FALSE(host.Send(app::kTrayCallbackMessage, app::kTrayIconId, platform::kWmRButtonDown));
  EXPECT_EQ(host.ExitCode(), 0);
}

TEST(TrayMenu, StringLibraryMissingOrIncomplete_BuiltInEnglishTexts) {
  struct Row {
    int row;
    bool libraryPresent;
    const char* first;
    const char* second;
  };
  for (const Row& r :
       {Row{1, false, "Settings...", "Exit"}, Row{2, true, "Einstellungen", "Exit"}}) {
    CheckedHost host;
    host.Desktop().SetDriver(sim::DriverMode::Present);
    host.Desktop().SetLibraryPresent(sim::kStringLibraryPath, r.libraryPresent);
    if (r.libraryPresent) {
      host.Desktop().SetLibraryString(sim::kStringLibraryPath, 1000, "Einstellungen");
      host.Desktop().SetLibraryString(sim::kStringLibraryPath, 1001, "");
    }
    ASSERT_TRUE(host.Start());
    host.Desktop().ChooseMenuItem(0);
    ASSERT_TRUE(host.Send(app::kTrayCallbackMessage, app::kTrayIconId, platform::kWmRButtonDown));
    const auto menu = host.Desktop().LastMenu();
    ASSERT_EQ(menu.size(), 3u) << "row " << r.row;
    EXPECT_EQ(menu[0].text, r.first) << "row " << r.row;
    EXPECT_EQ(menu[2].text, r.second) << "row " << r.row;
    EXPECT_THAT(host.Desktop().LaunchedPrograms(), IsEmpty()) << "row " << r.row;
    EXPECT_EQ(host.Close(), 0) << "row " << r.row;
  }
}

struct DoubleClickCase {
  int row;
  bool optionRunning;
  bool minimised;
  std::vector<std::string> expected;
};

TEST(TrayCallback, DoubleClick_ActivatesOrStartsConfigurationProgram) {
  const DoubleClickCase cases[] = {
      {1, false, false, {"ShellExecuteA verb=\"open\" file=\"C:\\HidHost\\Option.exe\" show=5"}},
      {2, true, false, {"SetForegroundWindow hwnd=0x5", "SetActiveWindow hwnd=0x5"}},
      {3,
       true,
       true,
       {"ShowWindow hwnd=0x5 cmd=1", "SetForegroundWindow hwnd=0x5", "SetActiveWindow hwnd=0x5"}},
  };
  for (const DoubleClickCase& c : cases) {
    CheckedHost host;
    if (c.optionRunning) {
      host.Desktop().AddWindow({kOptionWindow,
                                "OptionWnd",
                                0,
                                {},
                                c.minimised ? kWsMinimize : 0,
                                app::kConfigurationWindowTitle});
    }
    ASSERT_TRUE(host.Start());
    host.Trace();
    ASSERT_TRUE(host.Send(app::kTrayCallbackMessage, app::kTrayIconId, platform::kWmLButtonDblClk));
    EXPECT_EQ(host.Trace(), c.expected) << "row " << c.row;
    EXPECT_EQ(host.Close(), 0);
  }
}

TEST(TrayCallback, LeftPressBringsHostForwardOtherMessagesDoNothing) {
  CheckedHost host;
  ASSERT_TRUE(host.Start());
  host.Trace();
  ASSERT_TRUE(host.Send(app::kTrayCallbackMessage, app::kTrayIconId, platform::kWmLButtonDown));
  EXPECT_THAT(host.Trace(),
              ElementsAre("SetForegroundWindow hwnd=0x10001", "SetActiveWindow hwnd=0x10001"));
  for (platform::LParam other : {0x0200, 0x0202, 0x0205, 0x0206, 0x0207, 0x0209}) {
    ASSERT_TRUE(host.Send(app::kTrayCallbackMessage, app::kTrayIconId, other));
  }
  EXPECT_THAT(host.Trace(), IsEmpty());
  EXPECT_EQ(host.Close(), 0);
}

// ---- The shared block and the update notices ----

std::array<std::uint8_t, 116> Bytes(const settings::MouseSettings& record) {
  std::array<std::uint8_t, 116> bytes{};
  std::memcpy(bytes.data(), &record, bytes.size());
  return bytes;
}

TEST(SharedBlock, HoldsStartUpRecordByteForByte) {
  CheckedHost host;
  ASSERT_TRUE(host.Start());
  const auto block = host.Desktop().ReadSharedBlock();
  ASSERT_TRUE(block.has_value());
  EXPECT_EQ(*block, Bytes(host.App().Window()->Settings().Snapshot()));
  // Button 1 with its default assignment, at offset 88.
  EXPECT_THAT(std::vector<std::uint8_t>(block->begin() + 88, block->begin() + 92),
              ElementsAre(1, 1, 0, 0));
  EXPECT_EQ(host.Close(), 0);
}

struct NoticeCase {
  int row;
  std::uint32_t notice;
  bool channelOpen;
  bool applies;  // the system settings are pushed
  bool sendsMask;
};

TEST(SharedBlock, UpdateNotices_EachDoesItsSteps) {
  const NoticeCase cases[] = {
      {1, app::kSettingsApplyAll, true, true, true},
      {2, app::kSettingsApplyAll, false, true, false},
      {3, app::kSettingsReload1, true, false, false},
      {4, app::kSettingsReload2, true, false, false},
      {5, app::kSettingsApplyMaskFirst, true, true, true},
      {6, app::kSettingsApplyMaskFirst, false, true, false},
  };
  for (const NoticeCase& c : cases) {
    CheckedHost host;
    if (c.channelOpen) host.Desktop().SetDriver(sim::DriverMode::Present);
    ASSERT_TRUE(host.Start());
    settings::MouseSettings changed = host.App().Window()->Settings().Snapshot();
    changed.DoubleClickSpeed = 321;
    changed.ButtonInfo[3].actionCode = 65;  // button 4 copies: its own input is withheld
    changed.OTGSpeed = 7;
    ASSERT_EQ(host.Desktop().WriteSharedBlock(Bytes(changed)), sim::SharedWrite::Written);
    host.Trace();
    ASSERT_TRUE(host.Send(c.notice));
    const auto trace = host.Trace();
    EXPECT_EQ(host.App().Window()->Settings().Snapshot(), changed) << "row " << c.row;
    EXPECT_EQ(FindLine(trace, "SetDoubleClickTime ms=321") != std::string::npos, c.applies)
        << "row " << c.row;
    const std::size_t mask = FindLine(trace, "DeviceIoControl code=0x222420 in=E8FF0000");
    EXPECT_EQ(mask != std::string::npos, c.sendsMask) << "row " << c.row;
    if (c.sendsMask && c.applies) {
      const std::size_t apply = FindLine(trace, "SetDoubleClickTime");
      // 0x4C8 applies first, then the mask; 0x4CB the other way round.
      EXPECT_EQ(mask < apply, c.notice == app::kSettingsApplyMaskFirst) << "row " << c.row;
    }
    EXPECT_EQ(host.Close(), 0);
  }
}

TEST(SharedBlock, CreationFailed_UpdateAppliesRecordAlreadyHeld) {
  CheckedHost host;
  host.Desktop().FailCall("CreateFileMappingA");
  ASSERT_TRUE(host.Start());
  EXPECT_FALSE(host.Desktop().ReadSharedBlock().has_value());
  const auto before = host.App().Window()->Settings().Snapshot();
  host.Trace();
  ASSERT_TRUE(host.Send(app::kSettingsApplyAll));
  EXPECT_EQ(host.App().Window()->Settings().Snapshot(), before);
  EXPECT_NE(FindLine(host.Trace(), "SetDoubleClickTime ms=500"), std::string::npos);
  EXPECT_EQ(host.Close(), 0);
  EXPECT_THAT(host.LeakedAtExit(), IsEmpty());
}

}  // namespace
}  // namespace hidhost::testing
