// Every platform call the host makes, failed at start-up, while the host runs
// and at tear-down: the host never crashes, ends with exit code 0, leaves
// nothing open that it could have closed and no key or button down.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/Win32Calls.h"
#include "support/BusyDesktop.h"
#include "support/HostHarness.h"

namespace hidhost::testing {
namespace {

struct FaultRow {
  std::string_view call;  // the Win32 name the simulator fails
  // A failed release leaves its object open; that object is not the host's leak.
  bool releases = false;
  // Made by the system's default processing on the host's behalf, not by the host.
  bool indirect = false;
  // A mutex the host could not release stays its own: the configuration
  // program can no longer write the shared block.
  bool keepsSharedMutex = false;
  // Synthesized input: when the system refuses the tear-down's key-up, the key stays down.
  bool synthesizes = false;
};

// Every call the simulated desktop can fail, by its Win32 name.
constexpr auto kFaultTable = std::to_array<FaultRow>({
    {"keybd_event", false, false, false, true},
    {"mouse_event", false, false, false, true},
    {"MapVirtualKeyA"},
    {"GetCursorPos"},
    {"SetCursorPos"},
    {"GetSystemMetrics"},
    {"SetDoubleClickTime"},
    {"SwapMouseButton"},
    {"SystemParametersInfoA"},
    {"GetMessageExtraInfo"},
    {"CreateWindowExA"},
    {"DestroyWindow", false, true},  // WM_CLOSE's default processing
    {"RegisterWindowMessageA"},
    {"FindWindowA"},
    {"PostMessageA"},
    {"SendMessageA"},
    {"WindowFromPoint"},
    {"ChildWindowFromPoint"},
    {"GetClassNameA"},
    {"GetParent"},
    {"GetWindow"},
    {"GetWindowLongA"},
    {"SetWindowLongA"},
    {"GetWindowRect"},
    {"ScreenToClient"},
    {"EnumChildWindows"},
    {"IsIconic"},
    {"ShowWindow"},
    {"SetForegroundWindow"},
    {"SetActiveWindow"},
    {"GetLastActivePopup"},
    {"WTSRegisterSessionNotification"},
    {"WTSUnRegisterSessionNotification"},
    {"SetTimer"},
    {"KillTimer"},
    {"Sleep"},
    {"timeBeginPeriod"},
    {"timeEndPeriod", true},
    {"RegOpenKeyExA"},
    {"RegCreateKeyA"},
    {"RegQueryValueExA"},
    {"RegSetValueExA"},
    {"RegCloseKey", true},
    {"GetPrivateProfileIntA"},
    {"GetPrivateProfileStructA"},
    {"WritePrivateProfileStringA"},
    {"CreateFileA"},
    {"GetModuleFileNameA"},
    {"CreateMutexA"},
    {"ReleaseMutex", false, false, true},
    {"CreateSemaphoreA"},
    {"ReleaseSemaphore"},
    {"CreateEventA"},
    {"SetEvent"},
    {"WaitForSingleObject"},
    {"WaitForMultipleObjects"},
    {"CloseHandle", true},
    {"CreateThread"},
    {"LocalAlloc"},
    {"InitializeSecurityDescriptor"},
    {"SetSecurityDescriptorDacl"},
    {"CreateFileMappingA"},
    {"MapViewOfFile"},
    {"UnmapViewOfFile", true},
    {"LoadLibraryA"},
    {"GetProcAddress"},
    {"FreeLibrary", true},
    {"SetProcessInformation"},
    {"CoInitialize"},
    {"CoCreateInstance"},
    {"ShellExecuteA"},
    {"SHGetSpecialFolderLocation"},
    {"ShellExecuteExA"},
    {"Shell_NotifyIconA"},
    {"LoadStringA"},
    {"CreatePopupMenu"},
    {"AppendMenuA"},
    {"SetMenuDefaultItem"},
    {"TrackPopupMenu"},
    {"DestroyMenu", true},
    {"DeviceIoControl"},
});

enum class Phase { StartUp, Running, TearDown };
constexpr std::array<Phase, 3> kPhases = {Phase::StartUp, Phase::Running, Phase::TearDown};

const char* NameOf(Phase phase) {
  switch (phase) {
    case Phase::StartUp:
      return "StartUp";
    case Phase::Running:
      return "Running";
    case Phase::TearDown:
      return "TearDown";
  }
  return "?";
}

sim::Call CallOf(const FaultRow& row) {
  return sim::CallNamed(row.call).value_or(sim::Call::kCount);
}

// Runs the busy workload with the fault armed for one phase only. Gives the
// number of calls that failed.
long RunWithFault(HostHarness& host, const FaultRow& row, Phase phase) {
  const sim::Call call = CallOf(row);
  FurnishDesktop(host.Desktop(), 0);
  long failed = 0;
  const auto arm = [&](Phase when) {
    if (phase != when) return;
    EXPECT_TRUE(host.Desktop().FailCall(row.call)) << row.call;
  };
  const auto disarm = [&](Phase when, long before) {
    if (phase != when) return;
    EXPECT_TRUE(host.Desktop().FailCall(row.call, 0)) << row.call;
    failed = host.Counts().Of(call) - before;
  };

  arm(Phase::StartUp);
  const bool running = host.Start();
  disarm(Phase::StartUp, 0);
  if (running) {
    const long before = host.Counts().Of(call);
    arm(Phase::Running);
    RunBusyWorkload(host, {.writeSharedBlock = !row.keepsSharedMutex});
    disarm(Phase::Running, before);
  }
  const long before = host.Counts().Of(call);
  arm(Phase::TearDown);
  host.Close();
  disarm(Phase::TearDown, before);
  // The count cannot see a call that default processing makes; a host that
  // outlived its WM_CLOSE met the fault.
  if (row.indirect && phase == Phase::TearDown && !host.ExitCode()) failed = 1;
  // A window that could not be destroyed keeps the host running: the next WM_CLOSE ends it.
  host.Close();
  return failed;
}

TEST(FaultTable, NamesEveryCallTheSimulatorCanFailOnce) {
  std::array<int, static_cast<std::size_t>(sim::Call::kCount)> rows{};
  for (std::size_t i = 0; i < kFaultTable.size(); ++i) {
    const auto call = sim::CallNamed(kFaultTable[i].call);
    ASSERT_TRUE(call.has_value()) << "row " << i << ": the simulator cannot fail "
                                  << kFaultTable[i].call;
    ++rows[static_cast<std::size_t>(*call)];
  }
  for (std::size_t c = 0; c < rows.size(); ++c) {
    EXPECT_EQ(rows[c], 1) << sim::Win32NameOf(static_cast<sim::Call>(c));
  }
}

// Without faults, the workload reaches every call that the host makes, so
// that a fault armed for it is a fault the host meets.
TEST(FaultTable, BusyWorkloadReachesEveryCall) {
  HostHarness host;
  FurnishDesktop(host.Desktop(), 0);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(RunBusyWorkload(host));
  ASSERT_EQ(host.Close(), 0);
  for (std::size_t i = 0; i < kFaultTable.size(); ++i) {
    if (kFaultTable[i].indirect) continue;
    EXPECT_GT(host.Counts().Of(CallOf(kFaultTable[i])), 0)
        << "row " << i << ": " << kFaultTable[i].call << " never made";
  }
}

class FaultInjection : public ::testing::TestWithParam<std::tuple<std::size_t, Phase>> {};

TEST_P(FaultInjection, HostEndsCleanlyWithExitCodeZero) {
  const auto [index, phase] = GetParam();
  const FaultRow& row = kFaultTable[index];
  HostHarness host;
  const long failed = RunWithFault(host, row, phase);

  EXPECT_EQ(host.ExitCode(), 0) << "row " << index << " " << row.call << " " << NameOf(phase);
  const int open = host.OpenAtExit();
  if (row.releases) {
    EXPECT_LE(open, failed) << "row " << index << " " << row.call << " " << NameOf(phase);
  } else {
    EXPECT_EQ(open, 0) << "row " << index << " " << row.call << " " << NameOf(phase);
  }
  EXPECT_FALSE(host.DriverOpenAtExit() && !row.releases)
      << "row " << index << " " << row.call << " " << NameOf(phase);
  // The workload leaves every button held into the tear-down, which lets go of
  // what the host pressed.
  if (!(row.synthesizes && phase == Phase::TearDown)) {
    EXPECT_EQ(host.Desktop().HeldInput(), std::vector<std::string>{})
        << "row " << index << " " << row.call << " " << NameOf(phase);
  }
  RecordProperty("failed_calls", static_cast<int>(failed));
}

std::string RowName(const ::testing::TestParamInfo<std::tuple<std::size_t, Phase>>& info) {
  std::string name(kFaultTable[std::get<0>(info.param)].call);
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
      '_');
  return std::to_string(std::get<0>(info.param)) + "_" + name + "_" +
         NameOf(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(EveryCall, FaultInjection,
                         ::testing::Combine(::testing::Range<std::size_t>(0, kFaultTable.size()),
                                            ::testing::ValuesIn(kPhases)),
                         RowName);

}  // namespace
}  // namespace hidhost::testing
