// The host under load from both of its threads at once: the driver keeps
// 100 to 150 words queued ahead of the host's reads, so that the semaphore
// stays at or near its 100 counts, while the window thread applies updates,
// ticks the timers, loses and regains the console, and tears the host down at
// a random moment. Each life of the host must end cleanly, with no key or
// button left down. Run it under ThreadSanitizer to see the races.
//
// HIDHOST_STRESS_SECONDS sets how long it runs (3 s by default; the
// reliability script runs it for 60 s).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "actions/ActionCatalogue.h"
#include "support/BusyDesktop.h"
#include "support/HostHarness.h"

namespace hidhost::testing {
namespace {

using Clock = std::chrono::steady_clock;
using Random = std::mt19937;

constexpr long kPendingLow = 100;   // the semaphore's maximum count
constexpr long kPendingHigh = 150;  // a little more, so that the count never runs dry
constexpr int kMaxStepsPerLife = 400;
constexpr int kMaxCloseRounds = 1000;

std::chrono::seconds StressDuration() {
  const char* text = std::getenv("HIDHOST_STRESS_SECONDS");
  const int seconds = text != nullptr ? std::atoi(text) : 0;
  return std::chrono::seconds(seconds > 0 ? seconds : 3);
}

int Uniform(Random& random, int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(random);
}

std::uint32_t RandomWord(Random& random) {
  const int kind = Uniform(random, 0, 99);
  const auto buttons = static_cast<std::uint32_t>(Uniform(random, 0, 0xFF));
  if (kind < 80) return buttons;
  if (kind < 90) return buttons | (Uniform(random, 0, 1) ? kTiltLeftWord : kTiltRightWord);
  if (kind < 91) return kArrivedWord;
  if (kind < 92) return kRemovedWord;
  return static_cast<std::uint32_t>(random());
}

settings::MouseSettings RandomRecord(Random& random) {
  const auto catalogue = actions::ActionCatalogue();
  settings::MouseSettings record{};
  settings::SetDefaultSettings(record);
  record.Acceleration = Uniform(random, 0, 1);
  record.OTGSpeed = Uniform(random, 0, 5);
  record.HScrollWheelSpeed = Uniform(random, -1, 3);
  for (int i = 0; i < settings::kButtonCount; ++i) {
    const int pick = Uniform(random, 0, static_cast<int>(catalogue.size()));
    const auto code = pick < static_cast<int>(catalogue.size())
                          ? catalogue[static_cast<std::size_t>(pick)].code
                          : static_cast<std::uint8_t>(Uniform(random, 0, 255));
    record.ButtonInfo[static_cast<std::size_t>(i)] =
        Assign(i, code, static_cast<std::uint8_t>(Uniform(random, 0, 4)),
               static_cast<std::uint8_t>(Uniform(random, 0, 255)));
  }
  return record;
}

struct Figures {
  long lives = 0;
  long wordsQueued = 0;
  long wordsRead = 0;
  long updates = 0;
  long timerTicks = 0;
  long sessionChanges = 0;
  long deviceChanges = 0;
  long closesUnderLoad = 0;
};

// The driver's side: keeps between 100 and 150 words queued ahead of the
// host's reads, from its own thread, until stopped.
class Feeder {
 public:
  Feeder(sim::SimDesktop& desktop, const sim::CallCounts& counts, std::uint32_t seed)
      : desktop_(desktop), counts_(counts), random_(seed), thread_([this] { Run(); }) {}
  ~Feeder() { Stop(); }
  Feeder(const Feeder&) = delete;
  Feeder& operator=(const Feeder&) = delete;

  void Stop() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
  }
  // While the channel is closed words go nowhere: count afresh once it is open again.
  void Resync() { baseline_.store(queued_.load() - counts_.EventReads()); }
  long Queued() const { return queued_.load(); }

 private:
  void Run() {
    while (!stop_.load()) {
      const long pending = queued_.load() - baseline_.load() - counts_.EventReads();
      if (pending >= kPendingHigh) {
        std::this_thread::yield();
        continue;
      }
      desktop_.QueueEvent(RandomWord(random_));
      queued_.fetch_add(1);
    }
  }

  sim::SimDesktop& desktop_;
  const sim::CallCounts& counts_;
  Random random_;
  std::atomic<bool> stop_{false};
  std::atomic<long> queued_{0};
  std::atomic<long> baseline_{0};
  std::thread thread_;
};

// One step of the window thread; false once the host has ended.
bool WindowThreadStep(HostHarness& host, Feeder& feeder, Random& random, Figures& figures) {
  const int kind = Uniform(random, 0, 99);
  if (kind < 30) {
    ++figures.updates;
    const auto bytes = BytesOf(RandomRecord(random));
    host.Desktop().WriteSharedBlock(bytes);
    return host.SendNow(app::kSettingsApplyAll + static_cast<std::uint32_t>(Uniform(random, 0, 3)));
  }
  if (kind < 60) {
    for (std::uintptr_t id : kRepeatTimerIds) {
      if (!host.Process().HasTimer(kHostHwnd, id)) continue;
      ++figures.timerTicks;
      if (!host.SendNow(platform::kWmTimer, id)) return false;
    }
    return true;
  }
  if (kind < 66) {
    ++figures.sessionChanges;
    const bool connect = Uniform(random, 0, 1) == 1;
    const bool running =
        host.SendNow(platform::kWmWtsSessionChange,
                     connect ? platform::kWtsConsoleConnect : platform::kWtsConsoleDisconnect);
    if (connect) feeder.Resync();
    return running;
  }
  if (kind < 70) {
    ++figures.deviceChanges;
    const bool running = host.SendNow(platform::kWmDeviceChange);
    feeder.Resync();
    return running;
  }
  if (kind < 75) {
    PointAtScene(host.Desktop(), static_cast<std::size_t>(Uniform(random, 0, 10)));
  }
  return host.PumpNow();
}

// One life of the host, from start to a tear-down at a random step.
void RunOneLife(std::uint32_t seed, Figures& figures) {
  SCOPED_TRACE("life seed " + std::to_string(seed));
  Random random(seed);
  HostHarness host;
  FurnishDesktop(host.Desktop(), static_cast<std::size_t>(Uniform(random, 0, 10)));
  ASSERT_TRUE(host.Start());
  ++figures.lives;
  {
    Feeder feeder(host.Desktop(), host.Counts(), seed * 7919u + 1u);
    const int steps = Uniform(random, 0, kMaxStepsPerLife);
    bool running = true;
    for (int step = 0; step < steps && running; ++step) {
      running = WindowThreadStep(host, feeder, random, figures);
    }
    ASSERT_TRUE(running) << "the host ended on its own";
    // The tear-down runs while the driver is still busy.
    ++figures.closesUnderLoad;
    host.PostClose();
    int rounds = 0;
    while (host.PumpNow() && ++rounds < kMaxCloseRounds) {
    }
    feeder.Stop();
    figures.wordsQueued += feeder.Queued();
  }
  figures.wordsRead += host.Counts().EventReads();
  ASSERT_TRUE(host.ExitCode().has_value()) << "the host did not end after WM_CLOSE";
  EXPECT_EQ(host.ExitCode(), 0);
  EXPECT_EQ(host.OpenAtExit(), 0);
  EXPECT_FALSE(host.DriverOpenAtExit());
  EXPECT_EQ(host.Desktop().HeldInput(), std::vector<std::string>{});
}

TEST(Stress, EveryThreadBusyAndTearDownAtRandom_EachLifeEndsCleanly) {
  const auto duration = StressDuration();
  const auto deadline = Clock::now() + duration;
  Figures figures;
  for (std::uint32_t seed = 1; Clock::now() < deadline; ++seed) {
    RunOneLife(seed, figures);
    if (HasFatalFailure() || HasNonfatalFailure()) break;
  }
  EXPECT_GT(figures.lives, 0);
  EXPECT_GT(figures.wordsRead, 0);
  std::cout << "stress: " << duration.count() << " s, " << figures.lives << " host lives, "
            << figures.wordsRead << " event words read (" << figures.wordsQueued << " offered), "
            << figures.updates << " updates, " << figures.timerTicks << " timer ticks, "
            << figures.sessionChanges << " session changes, " << figures.deviceChanges
            << " device changes, " << figures.closesUnderLoad << " tear-downs under load\n";
  RecordProperty("seconds", static_cast<int>(duration.count()));
  RecordProperty("lives", static_cast<int>(figures.lives));
  RecordProperty("words_read", static_cast<int>(figures.wordsRead));
  RecordProperty("updates", static_cast<int>(figures.updates));
  RecordProperty("timer_ticks", static_cast<int>(figures.timerTicks));
  RecordProperty("session_changes", static_cast<int>(figures.sessionChanges));
}

}  // namespace
}  // namespace hidhost::testing
