// Kernel objects across processes, waits in virtual time, and threads that
// the desktop watches until they are stuck.
#include <gtest/gtest.h>

#include <atomic>

#include "SimFixture.h"

namespace hidhost::sim::testing {
namespace {

using platform::Handle;
using platform::WaitResult;

TEST(SimKernel, AMutexHeldElsewhereExistsAndCannotBeTaken) {
  SimFixture sim;
  sim.desktop.HoldMutex("K2290-ShareData-Mutex-Object");
  const auto mutex = sim.platform.kernel.CreateMutex("K2290-ShareData-Mutex-Object");
  EXPECT_TRUE(mutex.alreadyExisted);
  EXPECT_EQ(sim.platform.kernel.WaitForSingleObject(mutex.handle, 50), WaitResult::Timeout);
  EXPECT_FALSE(sim.platform.kernel.ReleaseMutex(mutex.handle)) << "not the owner";
}

// The system tick: 15.625 ms unless a process holds 1 ms. A sleep ends at the
// first tick at or after its length, a window timer fires at the first tick
// at or after its period.
TEST(SimTimers, SystemTickPacesSleepsAndWindowTimers) {
  const struct {
    int row;
    bool raised;
    std::uint32_t sleepMs;
    std::uint64_t sleptUs;
    std::uint32_t periodMs;
    std::uint64_t firstTickUs;
    std::uint64_t nextTickUs;
  } rows[] = {
      {1, false, 1, 15625, 20, 31250, 62500},
      {2, true, 1, 1000, 20, 20000, 40000},
      {3, false, 16, 31250, 10, 15625, 31250},
      {4, true, 16, 16000, 10, 10000, 20000},
      {5, false, 0, 0, 50, 62500, 125000},
      {6, true, 0, 0, 50, 50000, 100000},
      {7, false, 15, 15625, 100, 109375, 218750},
      {8, true, 100, 100000, 100, 100000, 200000},
      {9, false, 8000, 8000000, 500, 500000, 1000000},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::Message() << "row " << row.row);
    SimFixture sim;
    auto& timers = sim.platform.timers;
    if (row.raised) {
      ASSERT_TRUE(timers.TimeBeginPeriod(1));
    }
    timers.Sleep(row.sleepMs);
    EXPECT_EQ(sim.desktop.NowUs(), row.sleptUs) << "Sleep(" << row.sleepMs << ")";

    SimFixture ticking;
    RecordingProcedure ticked(ticking.platform.windows);
    const platform::Hwnd host = ticking.CreateWindow(ticked);
    if (row.raised) {
      ASSERT_TRUE(ticking.platform.timers.TimeBeginPeriod(1));
    }
    ASSERT_TRUE(ticking.platform.timers.SetTimer(host, 202, row.periodMs));
    ASSERT_TRUE(ticking.process.AdvanceToTimerTick(host, 202));
    EXPECT_EQ(ticking.desktop.NowUs(), row.firstTickUs) << "period " << row.periodMs;
    ASSERT_TRUE(ticking.process.AdvanceToTimerTick(host, 202));
    EXPECT_EQ(ticking.desktop.NowUs(), row.nextTickUs) << "period " << row.periodMs;
    EXPECT_FALSE(ticking.process.AdvanceToTimerTick(host, 200)) << "not running";
  }
}

// The finer tick lasts while any process holds it and restarts from the
// moment the resolution changes; a process's end lets go of what it held.
TEST(SimTimers, ResolutionIsHeldUntilEndedOrItsProcessEnds) {
  SimFixture sim;
  auto& timers = sim.platform.timers;
  EXPECT_FALSE(timers.TimeBeginPeriod(0)) << "TIMERR_NOCANDO";
  EXPECT_FALSE(timers.TimeEndPeriod(1)) << "nothing held";
  EXPECT_EQ(sim.process.TimerPeriodBalance(), -1);
  EXPECT_TRUE(timers.TimeBeginPeriod(1));
  EXPECT_TRUE(timers.TimeBeginPeriod(1));
  EXPECT_EQ(sim.process.OpenObjects(),
            (std::vector<std::string>{"timer resolution 1 ms", "timer resolution 1 ms"}));
  timers.Sleep(1);
  EXPECT_TRUE(timers.TimeEndPeriod(1));
  timers.Sleep(1);
  EXPECT_EQ(sim.desktop.NowUs(), 2000u) << "one request still held";
  EXPECT_TRUE(timers.TimeEndPeriod(1));
  timers.Sleep(1);
  EXPECT_EQ(sim.desktop.NowUs(), 17625u) << "a coarse tick from the moment of the change";
  EXPECT_EQ(sim.process.TimerPeriodBalance(), -1) << "two granted, three ended";

  SimProcess& other = sim.desktop.StartProcess();
  EXPECT_TRUE(other.Platform().timers.TimeBeginPeriod(1));
  timers.Sleep(1);
  EXPECT_EQ(sim.desktop.NowUs(), 18625u) << "another process's request paces every sleep";
  other.EndProcess(0);
  timers.Sleep(1);
  EXPECT_EQ(sim.desktop.NowUs(), 34250u) << "its end let go of it";
  EXPECT_EQ(other.TimerPeriodBalance(), 1);
  EXPECT_EQ(sim.desktop.TakeTrace(),
            (std::vector<std::string>{"timeBeginPeriod ms=0", "timeEndPeriod ms=1",
                                      "timeBeginPeriod ms=1", "timeBeginPeriod ms=1", "Sleep ms=1",
                                      "timeEndPeriod ms=1", "Sleep ms=1", "timeEndPeriod ms=1",
                                      "Sleep ms=1", "timeBeginPeriod ms=1", "Sleep ms=1",
                                      "exit code=0", "Sleep ms=1"}));
}

// A worker in the shape of the host's event thread: waits on a semaphore and
// counts its wake-ups until told to stop.
struct Worker {
  platform::Kernel* kernel;
  Handle semaphore;
  std::atomic<int> wakeUps{0};
  std::atomic<bool> quit{false};

  static std::uint32_t Run(void* parameter) {
    auto* self = static_cast<Worker*>(parameter);
    for (;;) {
      self->kernel->WaitForSingleObject(self->semaphore, platform::kInfinite);
      if (self->quit.load()) return 0;
      self->wakeUps.fetch_add(1);
    }
  }
};

TEST(SimThreads, WaitUntilIdleReturnsOnceTheThreadWaitsAgain) {
  SimFixture sim;
  auto& kernel = sim.platform.kernel;
  Worker worker{&kernel, kernel.CreateSemaphore(0, 100)};
  const Handle thread = kernel.CreateThread(4096, &Worker::Run, &worker);
  ASSERT_TRUE(platform::IsSet(thread));
  for (int i = 1; i <= 3; ++i) {
    kernel.ReleaseSemaphore(worker.semaphore, 1);
    sim.desktop.WaitUntilIdle();
    EXPECT_EQ(worker.wakeUps.load(), i) << "round " << i;
  }
  EXPECT_EQ(sim.desktop.LiveThreadCount(), 1);
  worker.quit = true;
  kernel.ReleaseSemaphore(worker.semaphore, 1);
  // A timed wait on the thread lets it run to its end first.
  EXPECT_EQ(kernel.WaitForSingleObject(thread, 1000), WaitResult::Signalled);
  EXPECT_EQ(sim.desktop.NowMs(), 0u);
  EXPECT_EQ(sim.desktop.LiveThreadCount(), 0);
  kernel.CloseHandle(thread);
  kernel.CloseHandle(worker.semaphore);
  EXPECT_EQ(sim.process.OpenObjectCount(), 0);
}

TEST(SimKernel, MappingByNameSharesItsBytes) {
  SimFixture sim;
  SimProcess& other = sim.desktop.StartProcess();
  auto& kernel = sim.platform.kernel;
  const Handle mapping = kernel.CreateFileMapping("K2290 Share Data", 116);
  auto* view = static_cast<std::uint8_t*>(kernel.MapViewOfFile(mapping, 116));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view[0], 0) << "a new mapping is zero-filled";
  view[0] = 0x42;
  const Handle again = other.Platform().kernel.CreateFileMapping("K2290 Share Data", 116);
  auto* seen = static_cast<std::uint8_t*>(other.Platform().kernel.MapViewOfFile(again, 0));
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(seen[0], 0x42);
  EXPECT_EQ((*sim.desktop.ReadSharedBlock())[0], 0x42);
  EXPECT_EQ(kernel.MapViewOfFile(mapping, 117), nullptr);
  EXPECT_TRUE(kernel.UnmapViewOfFile(view));
  EXPECT_FALSE(kernel.UnmapViewOfFile(view));
  kernel.CloseHandle(mapping);
  EXPECT_EQ(sim.process.OpenObjectCount(), 0);
  EXPECT_EQ(other.OpenObjectCount(), 2);
  EXPECT_EQ(other.OpenObjects(), (std::vector<std::string>{"mapping \"K2290 Share Data\"",
                                                           "view of \"K2290 Share Data\""}));
}

TEST(SimKernel, TheConfigurationProgramWritesTheBlockUnderItsMutex) {
  SimFixture sim;
  std::array<std::uint8_t, kSharedBlockSize> bytes{};
  bytes[4] = 0xF4;
  EXPECT_EQ(sim.desktop.WriteSharedBlock(bytes), SharedWrite::NoBlock) << "no block yet";
  EXPECT_FALSE(sim.desktop.ReadSharedBlock().has_value());
  auto& kernel = sim.platform.kernel;
  kernel.CreateMutex(contracts::kSharedMutexName);
  const Handle mapping = kernel.CreateFileMapping(contracts::kSharedBlockName, 116);
  EXPECT_EQ(sim.desktop.WriteSharedBlock(bytes), SharedWrite::Written);
  EXPECT_EQ(static_cast<std::uint8_t*>(kernel.MapViewOfFile(mapping, 116))[4], 0xF4);
}

TEST(SimKernel, LibrariesAreHeldUntilFreedAndCanBeMissing) {
  SimFixture sim;
  auto& kernel = sim.platform.kernel;
  const auto wts = kernel.LoadLibrary("wtsapi32.dll");
  ASSERT_TRUE(platform::IsSet(wts));
  const auto strings = kernel.LoadLibrary(kStringLibraryPath);
  ASSERT_TRUE(platform::IsSet(strings));
  sim.desktop.SetLibraryPresent(kStringLibraryPath, false);
  EXPECT_FALSE(platform::IsSet(kernel.LoadLibrary(kStringLibraryPath)));
  EXPECT_EQ(sim.process.OpenObjectCount(), 2);
  kernel.FreeLibrary(wts);
  kernel.FreeLibrary(strings);
  EXPECT_EQ(sim.process.OpenObjectCount(), 0);
}

TEST(SimProcess, EndingClosesWhatTheProcessStillHolds) {
  SimFixture sim;
  sim.desktop.SetDriver(DriverMode::Present);
  RecordingProcedure procedure(sim.platform.windows);
  sim.CreateWindow(procedure);
  sim.platform.kernel.CreateMutex("Tarno_HidHost");
  sim.platform.driver.Open("\\\\.\\ZWTRQUILL48", 0xC0000000u, 1, 3);
  sim.desktop.TakeTrace();
  sim.process.EndProcess(0);
  EXPECT_TRUE(sim.process.Ended());
  EXPECT_FALSE(sim.desktop.DriverOpen());
  EXPECT_EQ(sim.desktop.TakeTrace(), std::vector<std::string>{"exit code=0"});
  SimProcess& next = sim.desktop.StartProcess();
  EXPECT_FALSE(next.Platform().kernel.CreateMutex("Tarno_HidHost").alreadyExisted);
  EXPECT_EQ(next.Platform().windows.FindWindowByTitle("Test"), platform::Hwnd::None);
}

}  // namespace
}  // namespace hidhost::sim::testing
