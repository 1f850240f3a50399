// The host's life on the simulated desktop: start-up, tear-down, the
// routing table, device and session changes, and the decided faults.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/ConfigurationProgram.h"
#include "app/HostWindow.h"
#include "app/TrayIcon.h"
#include "support/CheckedHost.h"

namespace hidhost::testing {
namespace {

constexpr const char* kMutexLine = "CreateMutexA name=\"Tarno_HidHost\"";
constexpr const char* kDriverOpen = "CreateFileA name=\"\\\\.\\ZWTRQUILL48\"";
constexpr const char* kRegister = "DeviceIoControl code=0x222400";
constexpr const char* kDefaultMask = "DeviceIoControl code=0x222420 in=E0FF0000 out=0 ok=1";
constexpr const char* kMaskZero = "DeviceIoControl code=0x222420 in=00000000";
constexpr const char* kUnregister = "DeviceIoControl code=0x222404";
constexpr const char* kDriverClose = "CloseHandle name=\"\\\\.\\ZWTRQUILL48\"";
constexpr const char* kIconAdd = "Shell_NotifyIconA message=0 id=102";
constexpr const char* kIconRemove = "Shell_NotifyIconA message=2 id=102";
constexpr const char* kDevice0 =
    "WritePrivateProfileStringA section=\"Setting\" key=\"Device\" value=\"0\"";
constexpr const char* kDevice1 =
    "WritePrivateProfileStringA section=\"Setting\" key=\"Device\" value=\"1\"";

// Asserts that the prefixes appear in the trace in this order.
void ExpectInOrder(const std::vector<std::string>& trace, std::vector<std::string> prefixes) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < prefixes.size(); ++i) {
    const std::size_t found = FindLine(trace, prefixes[i], at);
    ASSERT_NE(found, std::string::npos)
        << "step " << i + 1 << " missing or out of order: " << prefixes[i];
    at = found + 1;
  }
}

TEST(HostStart, WithoutDriver_WritesFlagZeroShowsNoIconAndAppliesDefaults) {
  CheckedHost host;
  ASSERT_TRUE(host.Start());
  const auto trace = host.Trace();
  ExpectInOrder(trace,
                {std::string(kMutexLine) + " exists=0",
                 "CreateMutexA name=\"K2290-ShareData-Mutex-Object\" exists=0",
                 "CreateFileMappingA name=\"K2290 Share Data\" size=116",
                 std::string(kDriverOpen) + " access=0xC0000000 share=0x1 disposition=3 ok=0",
                 kDevice0, "SetDoubleClickTime ms=500", "SwapMouseButton swap=0",
                 "SystemParametersInfoA action=4 uiParam=0x0 pvParam=[0,0,0] fWinIni=0x2",
                 "SystemParametersInfoA action=113 uiParam=0x0 pvParam=11 fWinIni=0x2",
                 "SystemParametersInfoA action=105 uiParam=0x3 pvParam=null fWinIni=0x2"});
  EXPECT_EQ(FindLine(trace, kIconAdd), std::string::npos);
  EXPECT_EQ(host.Close(), 0);
}

TEST(HostStart, WithDriver_RegistersSendsDefaultMaskAddsIconAndWritesFlagOne) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Start());
  const auto trace = host.Trace();
  ExpectInOrder(trace,
                {std::string(kDriverOpen) + " access=0xC0000000 share=0x1 disposition=3 ok=1",
                 kRegister, kDefaultMask, kIconAdd, kDevice1, "SetDoubleClickTime"});
  EXPECT_EQ(host.Desktop().LastMask(), 0xFFE0u);
  EXPECT_TRUE(host.Desktop().DriverOpen());
  EXPECT_EQ(host.Close(), 0);
  EXPECT_FALSE(host.Desktop().DriverOpen());
}

TEST(HostStart, DriverRefusesRegistration_ClosesHandleAndWritesFlagZero) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Refuses);
  ASSERT_TRUE(host.Start());
  const auto trace = host.Trace();
  ExpectInOrder(trace, {kRegister, kDriverClose, kDevice0});
  EXPECT_FALSE(host.Desktop().DriverOpen());
  EXPECT_EQ(host.Close(), 0);
}

TEST(HostStart, SecondInstance_CreatesNothingAndExitsZero) {
  CheckedHost first;
  ASSERT_TRUE(first.Start());
  first.Trace();
  // A second process on the same desktop.
  sim::SimProcess& second = first.Desktop().StartProcess();
  app::HostApp secondApp(second.Platform());
  EXPECT_EQ(secondApp.InitInstance(), -1);
  EXPECT_FALSE(platform::IsSet(secondApp.MainWindow()));
  EXPECT_EQ(secondApp.ExitInstance(0), 0);
  const auto trace = first.Trace();
  ASSERT_EQ(trace.size(), 1u);
  EXPECT_EQ(trace[0], std::string(kMutexLine) + " exists=1");
  EXPECT_EQ(second.OpenObjectCount(), 0);
  second.EndProcess(0);
  EXPECT_EQ(first.Close(), 0);
}

TEST(HostStart, SharedMutexAlreadyHeld_EndsWithZeroAndFreesInstanceMutex) {
  CheckedHost host;
  host.Desktop().HoldMutex("K2290-ShareData-Mutex-Object");
  EXPECT_FALSE(host.Start());
  EXPECT_EQ(host.ExitCode(), 0);
  const auto trace = host.Trace();
  // The tear-down ran over the partial state: no driver, no thread to stop.
  EXPECT_EQ(FindLine(trace, kDriverOpen), std::string::npos);
  EXPECT_EQ(FindLine(trace, "CreateFileMappingA"), std::string::npos);
  EXPECT_THAT(host.LeakedAtExit(), ::testing::IsEmpty());

  // The instance mutex is gone: a new host starts.
  CheckedHost next;
  ASSERT_TRUE(next.Start());
  EXPECT_NE(FindLine(next.Trace(), std::string(kMutexLine) + " exists=0"), std::string::npos);
  EXPECT_EQ(next.Close(), 0);
}

TEST(HostStart, SemaphoreCannotBeCreated_RunsWithoutChannel) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  host.Desktop().FailCall("CreateSemaphoreA");
  ASSERT_TRUE(host.Start());
  auto trace = host.Trace();
  EXPECT_EQ(FindLine(trace, kDriverOpen), std::string::npos);
  EXPECT_NE(FindLine(trace, kDevice0), std::string::npos);
  ASSERT_TRUE(host.Send(platform::kWmDeviceChange));
  EXPECT_EQ(FindLine(host.Trace(), kDriverOpen), std::string::npos);
  EXPECT_EQ(host.Close(), 0);
  EXPECT_THAT(host.LeakedAtExit(), ::testing::IsEmpty());
}

TEST(HostStart, ThreadCannotBeCreated_RunsWithoutChannel) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  host.Desktop().FailCall("CreateThread");
  ASSERT_TRUE(host.Start());
  const auto trace = host.Trace();
  EXPECT_EQ(FindLine(trace, kDriverOpen), std::string::npos);
  EXPECT_NE(FindLine(trace, kDevice0), std::string::npos);
  EXPECT_EQ(host.Close(), 0);
}

TEST(HostWindowAttributes, AfterStart_ExtendedStyleIsExactlyToolWindow) {
  CheckedHost host;
  ASSERT_TRUE(host.Start());
  platform::Windows& windows = host.Process().Platform().windows;
  EXPECT_EQ(windows.GetWindowLong(kHostHwnd, platform::kGwlExStyle), 0x80);
  EXPECT_EQ(static_cast<std::uint32_t>(windows.GetWindowLong(kHostHwnd, platform::kGwlStyle)) &
                platform::kWsPopup,
            platform::kWsPopup);
  EXPECT_EQ(windows.FindWindowByTitle(app::kHostWindowTitle), kHostHwnd);
  EXPECT_EQ(host.Close(), 0);
}

TEST(HostTearDown, CompanionWindowsClosedFirstThenChannelThenIcon) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  host.Desktop().AddWindow({0x5, "OptionWnd", 0, {}, 0, app::kConfigurationWindowTitle});
  host.Desktop().AddWindow({0x6, "OsdWnd", 0, {}, 0, app::kDisplayWindowTitle});
  ASSERT_TRUE(host.Start());
  host.Trace();
  EXPECT_EQ(host.Close(), 0);
  const auto trace = host.Trace();
  ExpectInOrder(trace, {"PostMessageA hwnd=0x5 msg=0x10 wParam=0x0 lParam=0x0",
                        "PostMessageA hwnd=0x6 msg=0x10 wParam=0x0 lParam=0x0", kMaskZero,
                        kUnregister, kDriverClose, kIconRemove, "exit code=0"});
  EXPECT_THAT(host.LeakedAtExit(), ::testing::IsEmpty());
}

TEST(HostTearDown, EventThreadHeldInADriverRead_KeepsWhatItUsesUntilTheProcessEnds) {
  CheckedHost host;
  // The one end in which the channel stays open: its thread is inside a read.
  host.Excuse(Promise::DriverHandedBack);
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Start());
  host.Desktop().HoldDriverReads(true);
  ASSERT_TRUE(host.Event(0x02));  // the thread wakes and hangs in the read
  host.Trace();
  EXPECT_EQ(host.Close(), 0);
  const auto trace = host.Trace();
  // The channel is the thread's: no request on it and no close by the host.
  EXPECT_EQ(FindLine(trace, "DeviceIoControl"), std::string::npos);
  EXPECT_EQ(FindLine(trace, kDriverClose), std::string::npos);
  ExpectInOrder(trace, {kIconRemove, "exit code=0"});
  EXPECT_THAT(host.LeakedAtExit(),
              ::testing::UnorderedElementsAre("semaphore", "event", "thread",
                                              "device \"\\\\.\\ZWTRQUILL48\""));
  EXPECT_EQ(host.Desktop().LiveThreadCount(), 1);

  // The read completes after all: the thread finds the host gone and leaves,
  // touching only what was kept for it.
  host.Desktop().HoldDriverReads(false);
  host.Desktop().WaitUntilIdle();
  EXPECT_EQ(host.Desktop().LiveThreadCount(), 0);
  EXPECT_THAT(host.Trace(), ::testing::IsEmpty());
}

TEST(HostTearDown, WithoutCompanionWindows_PostsNoClose) {
  CheckedHost host;
  ASSERT_TRUE(host.Start());
  host.Trace();
  EXPECT_EQ(host.Close(), 0);
  const auto trace = host.Trace();
  EXPECT_EQ(FindLine(trace, "PostMessageA hwnd=0x5"), std::string::npos);
  EXPECT_EQ(CountLines(trace, "PostMessageA"), 0u);
}

TEST(HostCommands, ExitCommand_PostsCloseToItselfAndEnds) {
  CheckedHost host;
  ASSERT_TRUE(host.Start());
  host.Trace();
  EXPECT_FALSE(host.Send(platform::kWmCommand, app::kExitCommand));
  EXPECT_EQ(host.ExitCode(), 0);
  EXPECT_NE(FindLine(host.Trace(), "PostMessageA hwnd=0x10001 msg=0x10 wParam=0x0 lParam=0x0"),
            std::string::npos);
}

TEST(HostDeviceChange, ChannelOpen_ChangesNothing) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Start());
  host.Trace();
  ASSERT_TRUE(host.Send(platform::kWmDeviceChange, 0x8000, 0));
  EXPECT_TRUE(host.Trace().empty());
  EXPECT_EQ(host.Close(), 0);
}

TEST(HostDeviceChange, DriverAppearsLater_OpensAndRunsDeviceReadySteps) {
  CheckedHost host;
  host.Desktop().AddWindow({0x5, "OptionWnd", 0, {}, 0, app::kConfigurationWindowTitle});
  ASSERT_TRUE(host.Start());
  host.Trace();
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Send(platform::kWmDeviceChange, 7, 0));
  ExpectInOrder(host.Trace(),
                {kDriverOpen, kRegister, kDefaultMask,
                 "PostMessageA hwnd=0x5 msg=0x4E6 wParam=0x0 lParam=0x0", kIconAdd, kDevice1});
  EXPECT_EQ(host.Close(), 0);
}

struct SessionCase {
  int row;
  platform::WParam code;
  bool driverOpenAfter;
  std::vector<std::string> expected;  // in order
};

TEST(HostSessionChange, CodeTable_OpensClosesOrIgnores) {
  const SessionCase cases[] = {
      {1, platform::kWtsConsoleDisconnect, false, {kDevice0, kMaskZero, kUnregister, kDriverClose}},
      // Connect while open: the open channel is closed first, so no handle leaks.
      {2,
       platform::kWtsConsoleConnect,
       true,
       {kMaskZero, kUnregister, kDriverClose, kDriverOpen, kRegister, kDefaultMask, kIconAdd,
        kDevice1}},
      {3, 3, true, {}},
      {4, 7, true, {}},
      {5, 8, true, {}},
  };
  for (const SessionCase& c : cases) {
    CheckedHost host;
    host.Desktop().SetDriver(sim::DriverMode::Present);
    ASSERT_TRUE(host.Start());
    host.Trace();
    ASSERT_TRUE(host.Send(platform::kWmWtsSessionChange, c.code, 1));
    const auto trace = host.Trace();
    if (c.expected.empty()) {
      EXPECT_TRUE(trace.empty()) << "row " << c.row;
    } else {
      SCOPED_TRACE("row " + std::to_string(c.row));
      ExpectInOrder(trace, c.expected);
    }
    EXPECT_EQ(host.Desktop().DriverOpen(), c.driverOpenAfter) << "row " << c.row;
    // The icon stays on disconnect.
    EXPECT_EQ(FindLine(trace, kIconRemove), std::string::npos) << "row " << c.row;
    EXPECT_EQ(host.Close(), 0) << "row " << c.row;
    EXPECT_THAT(host.LeakedAtExit(), ::testing::IsEmpty()) << "row " << c.row;
  }
}

TEST(HostSessionChange, ConnectAfterDisconnect_ReopensWholeSequence) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(host.Send(platform::kWmWtsSessionChange, platform::kWtsConsoleDisconnect));
  host.Trace();
  ASSERT_TRUE(host.Send(platform::kWmWtsSessionChange, platform::kWtsConsoleConnect));
  const auto trace = host.Trace();
  EXPECT_EQ(FindLine(trace, kDriverClose), std::string::npos);
  ExpectInOrder(trace, {kDriverOpen, kRegister, kDefaultMask, kIconAdd, kDevice1});
  EXPECT_EQ(host.Close(), 0);
}

TEST(HostRouting, UnlistedMessages_GetDefaultProcessingOnly) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  ASSERT_TRUE(host.Start());
  host.Trace();
  for (std::uint32_t message : {0x0005u, 0x0400u, 0x04C7u, 0x04CCu, 0x04E6u}) {
    ASSERT_TRUE(host.Send(message, 1, 2));
  }
  ASSERT_TRUE(host.Send(platform::kWmCommand, 6003));
  EXPECT_TRUE(host.Trace().empty());
  EXPECT_EQ(host.Close(), 0);
}

}  // namespace
}  // namespace hidhost::testing
