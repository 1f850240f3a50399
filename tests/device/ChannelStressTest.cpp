// The window thread closes and reopens the channel and reloads the settings
// while the event thread reads words at full rate. Run under ThreadSanitizer
// this proves the shared state race-free; here it also proves no deadlock,
// no crash and a clean exit.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/ConfigurationProgram.h"
#include "support/CheckedHost.h"

namespace hidhost::testing {
namespace {

constexpr int kWords = 100'000;
constexpr int kBurst = 100;  // the semaphore holds at most 100 counts

std::size_t CountWheelSteps(const std::vector<std::string>& trace) {
  return CountLines(trace, "mouse_event flags=0x800 ");
}

TEST(ChannelStress, WordsAtFullRateWhileWindowThreadReopensChannel_EndsCleanly) {
  CheckedHost host;
  host.Desktop().SetDriver(sim::DriverMode::Present);
  // Button 6 scrolls the wheel up on release: one traced call per press-release pair.
  host.Desktop().AppendConfigLine("[Setting]");
  host.Desktop().AppendConfigLine("ButtonInfo6=0730000037");
  ASSERT_TRUE(host.Start());
  host.Trace();

  std::atomic<bool> producing{true};
  std::atomic<int> queued{0};
  std::thread driver([&] {
    for (int i = 0; i < kWords; i += 2) {
      host.Desktop().QueueEvent(0x40);
      host.Desktop().QueueEvent(0x00);
      queued.fetch_add(2);
      // Let the event thread drain a burst, as a real driver's queue would wait.
      if (i % kBurst == 0) std::this_thread::yield();
    }
    producing.store(false);
  });

  std::size_t wheelSteps = 0;
  int round = 0;
  sim::SimProcess& process = host.Process();
  while (producing.load()) {
    process.SendToWindow(kHostHwnd, app::kSettingsReload1, 0, 0);
    if (++round % 8 == 0) {
      process.SendToWindow(kHostHwnd, platform::kWmWtsSessionChange,
                           platform::kWtsConsoleDisconnect, 0);
      process.SendToWindow(kHostHwnd, platform::kWmWtsSessionChange, platform::kWtsConsoleConnect,
                           0);
    }
    process.PumpMessages();
    wheelSteps += CountWheelSteps(host.Trace());
  }
  driver.join();
  host.Desktop().WaitUntilIdle();
  process.PumpMessages();
  wheelSteps += CountWheelSteps(host.Trace());

  RecordProperty("wheel_steps", static_cast<int>(wheelSteps));
  EXPECT_EQ(queued.load(), kWords);
  EXPECT_GT(wheelSteps, 0u);
  EXPECT_LE(wheelSteps, static_cast<std::size_t>(kWords / 2));
  EXPECT_EQ(host.Close(), 0);
  EXPECT_THAT(host.LeakedAtExit(), ::testing::IsEmpty());
}

}  // namespace
}  // namespace hidhost::testing
